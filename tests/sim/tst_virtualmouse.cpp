// The virtual mouse driven report by report, independently of the transport: what it finds wrong,
// its bus, plug, DPI button and trace; the memory file the demo keeps and the model file it loads.
// Every other suite trusts it. Checked elsewhere through the same paths: what it stores of each
// write (tst_view, the UI suites), its memory as JSON and the shipped demo model being in the
// device table (every end-to-end suite reads the demo's memory file), a refused open (tst_widget).
#include "../hid/HidTestRig.h"
#include "ReportCipher.h"
#include "VirtualHidBus.h"
#include "VirtualMouseConfig.h"
#include "VirtualMouseDump.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>


namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray pattern(int size, int seed, int at = -1, int value = 0)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(i == at ? value : seed + i * 7);
    return b;
}

// Plays the program's side of the exchanges on the command interface.
struct Driver
{
    explicit Driver(VirtualMouse &mouse, const QString &sCode = QString())
        : mouse(mouse), handle(mouse.openPath(mouse.commandPath()))
    {
        const QString code = sCode.isEmpty() ? mouse.config().sCode : sCode;
        for (int i = 0; i < 6; ++i)
            secrecy[1 + i] = std::uint8_t(code[i].toLatin1());
    }

    // Code and parameters as a command report, enciphered for an enciphering mouse; cut to `size`
    // bytes, its checksum off by `spoil`.
    int send(int code, const QList<int> &params = {}, int size = 9, int spoil = 0)
    {
        std::uint8_t r[9] = {0, std::uint8_t(code)};
        for (int i = 0; i < params.size(); ++i)
            r[2 + i] = std::uint8_t(params[i]);
        r[8] = std::uint8_t(ReportCipher::checksum(r + 1) + spoil);
        if (mouse.config().isEncode)
            ReportCipher::encipher(r + 1, secrecy.data());
        sent = QByteArray(reinterpret_cast<const char *>(r), 9);
        return handle->sendFeatureReport(r, size_t(size));
    }

    // Steps "cc pp pp/BLOCK" separated by ';': a command report, then BLOCK (hex) as its data phase.
    void play(const QString &script)
    {
        for (const QString &step : script.split(';', Qt::SkipEmptyParts)) {
            QList<int> bytes;
            for (const QString &b : step.section('/', 0, 0).split(' ', Qt::SkipEmptyParts))
                bytes << b.toInt(nullptr, 16);
            if (!bytes.isEmpty())
                send(bytes.takeFirst(), bytes);
            // The block as output reports of the mouse's report length.
            const QByteArray block = QByteArray::fromHex(step.section('/', 1).toLatin1());
            const int piece = mouse.config().reportLength;
            for (int offset = 0; offset < block.size(); offset += piece) {
                const QByteArray report = '\0' + block.mid(offset, piece).leftJustified(piece, '\0');
                handle->write(reinterpret_cast<const unsigned char *>(report.constData()), size_t(piece + 1));
            }
        }
    }

    // The reply's eight bytes after the report ID, as they crossed; empty when the read failed.
    QByteArray reply()
    {
        QByteArray r(9, '\0');
        return handle->getFeatureReport(reinterpret_cast<unsigned char *>(r.data()), 9) == 9 ? r.mid(1) : QByteArray();
    }

    VirtualMouse &mouse;
    std::array<std::uint8_t, 8> secrecy{};
    std::unique_ptr<HidDeviceHandle> handle;
    QByteArray sent; // the last command report as it crossed
};

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

} // namespace

class TestVirtualMouse : public QObject
{
    Q_OBJECT

private slots:
    // What the mouse finds wrong is listed and changes nothing. (A report enciphered with another
    // code: tst_hid_protocol, failures "probe, wrong code".)
    void protocolErrors()
    {
        using Act = std::function<void(Driver &)>;
        const auto play = [](const QString &script) { return Act([=](Driver &d) { d.play(script); }); };
        const std::pair<Act, QString> rows[] = {
            {[](Driver &d) { d.send(0x02, {1}, 9, 1); }, "bad checksum"},
            {[](Driver &d) { d.send(0x82, {}, 8); }, "command report of 8 bytes"},
            {play("7e"), "unknown command 7e"},
            {play("/01010101"), "output report without a data phase"},
            {play("0c 01 80/" + QByteArray(32, '\1').toHex() + ";82"), "data phase of 0c broken off after 32 of 128 bytes"},
            {play("0c 05 80"), "profile block with a number out of range"},
            {play("0d 01 40"), "key matrix with block length 64"}};
        for (const auto &[act, error] : rows) {
            VirtualMouse mouse(mouseConfig("560", 32, true));
            Driver driver(mouse);
            act(driver);
            QCOMPARE(mouse.protocolErrors().size(), 1);
            QVERIFY2(mouse.protocolErrors().first().startsWith(error), qPrintable(mouse.protocolErrors().first()));
            QCOMPARE(mouse.memory(), VirtualMouseMemory::initial(mouse.config()));
        }
    }

    // A mouse whose two usages agree has one interface for both; the bus lists what its mice list
    // and fails when one of them fails. (Opens routed to the mouse owning the path and ids
    // filtered: tst_widget, with a mouse and a keyboard on the bus.) Unplugging fails every open
    // handle and says so once; plugged in again, old handles stay dead. (Found by no one while
    // unplugged: tst_ctl_commands, the "Unplugged" rows; a read waiting for an event woken by the
    // unplug, new handles after plugging in: tst_widget's and tst_ctl_handover's unplug and
    // plug-in, and listenerUnplug in tst_hid_protocol; the memory kept: tst_ctl_handover, which
    // sends after the plug-in only what differs from the blocks it reads back.)
    void busUnplugAndPlugIn()
    {
        VirtualMouse mouse(mouseConfig("553", 64));
        VirtualMouseConfig other = mouseConfig("560", 64);
        std::tie(other.usagePage2, other.usage2) = std::tuple(other.usagePage, other.usage);
        VirtualMouse second(other);
        QCOMPARE(second.enumerate(0, 0)->size(), 1);
        QCOMPARE(second.eventPath(), second.commandPath());
        VirtualHidBus bus;
        bus.attach(&mouse);
        bus.attach(&second);
        QCOMPARE(bus.enumerate(0, 0)->size(), 3);
        second.setEnumerationFails(true);
        QVERIFY(!bus.enumerate(0, 0).has_value());

        QSignalSpy plugs(&mouse, &VirtualMouse::plugChanged);
        Driver driver(mouse);
        QCOMPARE(driver.send(0x01, {3}), 9);
        mouse.unplug();
        mouse.unplug();
        QVERIFY(driver.reply().isEmpty());
        mouse.plugIn();
        QCOMPARE(QList<QVariantList>(plugs), (QList<QVariantList>{{false}, {true}}));
        QCOMPARE(driver.send(0x01, {4}), -1);
        QCOMPARE(mouse.memory().reportRate, quint8(3));
    }

    // The DPI button steps through the stages the program made active, as the mouse holds them, and
    // reports each stage it reaches on the event interface.
    void dpiButtonCyclesActiveStages()
    {
        const auto block560 = [](int profile, int mask) {
            return QStringLiteral("0c %1 80/").arg(profile) + pattern(128, 9, 100, mask).toHex();
        };
        const std::tuple<QString, QString, QList<int>> rows[] = {
            {"553", "", {3, 4, 1, 2, 3}}, // factory: 4 stages, from 2
            {"553", "11 05 08/030710fa3f808080", {3, 4, 5, 1, 2, 3}},
            {"553", "11 08 08/0380101f803f8040", {3, 4, 6, 8, 1, 3}}, // stages switched off inside the count
            {"553", "11 00 08/8080808080808080", {2, 2}},             // no stage active: stays
            {"560", "", {3, 4, 1, 2}},                                // factory: mask 0f
            {"560", block560(1, 0x1f), {3, 4, 5, 1, 2}},
            {"560", block560(3, 0x85) + ";02 03", {3, 8, 1, 3}}}; // the profile in use counts
        for (const auto &[family, script, stages] : rows) {
            VirtualMouse mouse(mouseConfig(family));
            Driver(mouse).play(script);
            QVERIFY2(mouse.protocolErrors().isEmpty(), qPrintable(mouse.protocolErrors().join('\n')));
            QCOMPARE(mouse.memory().currentDpiStage, quint8(2));
            auto events = mouse.openPath(mouse.eventPath());
            QList<int> pressed;
            for (int i = 0; i < stages.size(); ++i) {
                pressed << mouse.pressDpiButton();
                unsigned char report[4] = {};
                QCOMPARE(events->readTimeout(report, 4, 0), 4);
                QCOMPARE(QByteArray(reinterpret_cast<char *>(report), 4), hex("060700") + char(pressed.last()));
            }
            QCOMPARE(pressed, stages);
            QCOMPARE(int(mouse.memory().currentDpiStage), stages.last());
            mouse.unplug();
            QCOMPARE(mouse.pressDpiButton(), 0);
        }
    }

    // One line per report that crossed, stamped with the clock, enciphered reports as they crossed;
    // nothing is kept while recording is off. (The lines of every command without their stamps,
    // and the sink: tst_hid_protocol, commands and nestedCommandCannotSlipBetweenRepetitions.)
    void trace()
    {
        VirtualClock clock;
        VirtualMouse mouse(mouseConfig("553", 32, true), &clock);
        Driver driver(mouse);
        clock.advance(128);
        driver.send(0x01, {3});
        clock.advance(5);
        mouse.pressDpiButton(2);
        unsigned char buf[4];
        mouse.openPath(mouse.eventPath())->readTimeout(buf, 4, 0);
        QCOMPARE(mouse.trace(), QStringList({"128 -> feature " + QString::fromLatin1(driver.sent.toHex(' ')),
                                             "133 <- event 06 07 00 02"}));
        mouse.clearTrace();
        mouse.setTraceEnabled(false);
        driver.send(0x01, {3});
        QVERIFY(mouse.trace().isEmpty());
    }

    // The demo's file follows the memory, also when reports are noted from the listener's thread,
    // and is only rewritten when the memory changed; a file that cannot be written is reported.
    // (Written as soon as it is made: every end-to-end suite reads the demo's file from its start.)
    void memoryFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("memory.json"));
        VirtualMouse mouse(mouseConfig("560"));
        VirtualMouseMemoryFile file(mouse, path);
        QVERIFY(mouse.pressDpiButton(5));
        std::unique_ptr<QThread> noter(QThread::create([&file] {
            for (int i = 0; i < 1000; ++i)
                file.noteReport();
        }));
        noter->start();
        QVERIFY(noter->wait(10000));
        QTRY_COMPARE(readJson(path)[u"currentDpiStage"].toInt(), 5);
        QCOMPARE(readJson(path), memoryToJson(mouse.memory()));
        QVERIFY(QFile::remove(path));
        QVERIFY(file.update());
        QVERIFY(!QFile::exists(path));
        QVERIFY(mouse.pressDpiButton(1));
        file.noteReport();
        QTRY_COMPARE(readJson(path)[u"currentDpiStage"].toInt(), 1);

        VirtualMouseMemoryFile nowhere(mouse, dir.filePath(QStringLiteral("missing/memory.json")));
        QVERIFY(!nowhere.update());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing"))));
    }

    // What a model file loads ("family reportLength isEncode usagePage2"), or the word its refusal names.
    void modelFile()
    {
        const std::pair<QByteArray, QString> rows[] = {
            {"[mouse]\n", "553 32 0 ff01"},
            {"[mouse]\nfamily=553\nreportLength=64\nisEncode=false\nusagePage2=FF00\nusage2=ff00\n", "553 64 0 ff00"},
            {"[mouse]\nfamily=560\nisEncode=1\n", "560 32 1 ff01"},
            {"[mouse]\nfamily=561\n", "family"},
            {"[mouse]\nreportLength=48\n", "reportLength"},
            {"[mouse]\nreportLength=big\n", "reportLength"},
            {"[mouse]\nsCode=58301\n", "sCode"},
            {"[mouse]\nvid=04g9\n", "vid"},
            {"[mouse]\nusage=1ff00\n", "usage"},
            {{}, "no model file"}};
        for (const auto &[ini, expected] : rows) {
            QTemporaryDir dir;
            QFile file(dir.filePath(QStringLiteral("model.ini")));
            QVERIFY(ini.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size()));
            file.close();
            QString why;
            const auto config = loadVirtualMouseConfig(file.fileName(), &why);
            QCOMPARE(config ? QStringLiteral("%1 %2 %3 %4").arg(config->family).arg(config->reportLength)
                                      .arg(int(config->isEncode)).arg(config->usagePage2, 0, 16)
                            : why.contains(expected) ? expected : why,
                     expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtualmouse.moc"
