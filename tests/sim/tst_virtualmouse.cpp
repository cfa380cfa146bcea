// The virtual mouse driven report by report, independently of the transport: what it finds wrong,
// its bus, plug, DPI button and trace; the memory file the demo keeps and the model file it loads.
// Every other suite trusts it. Checked elsewhere through the same paths: what it stores of each
// write (tst_view_mouse, the UI suites), its memory as JSON and the shipped demo model being in the
// device table (every end-to-end suite reads the demo's memory file), a refused open (tst_noMouse).
#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "VirtualHidBus.h"
#include "VirtualMouse.h"
#include "VirtualMouseConfig.h"
#include "VirtualMouseDump.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <tuple>

namespace {

VirtualMouseConfig makeConfig(const QString &family, int reportLength = 32, bool isEncode = false)
{
    VirtualMouseConfig c;
    std::tie(c.family, c.reportLength, c.isEncode) = std::tie(family, reportLength, isEncode);
    return c;
}

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
            writeBlock(QByteArray::fromHex(step.section('/', 1).toLatin1()));
        }
    }

    // The reply's eight bytes after the report ID, as they crossed; empty when the read failed.
    QByteArray reply()
    {
        QByteArray r(9, '\0');
        return handle->getFeatureReport(reinterpret_cast<unsigned char *>(r.data()), 9) == 9 ? r.mid(1) : QByteArray();
    }

    // The block as output reports of the mouse's report length; false when one failed.
    bool writeBlock(const QByteArray &block)
    {
        const int piece = mouse.config().reportLength;
        for (int offset = 0; offset < block.size(); offset += piece) {
            const QByteArray report = '\0' + block.mid(offset, piece).leftJustified(piece, '\0');
            if (handle->write(reinterpret_cast<const unsigned char *>(report.constData()), size_t(piece + 1)) < 0)
                return false;
        }
        return true;
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
    // What the mouse finds wrong is listed and changes nothing.
    void protocolErrors_data()
    {
        using Act = std::function<void(Driver &)>;
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("error");
        const auto play = [](const QString &script) { return Act([=](Driver &d) { d.play(script); }); };
        QTest::newRow("bad checksum") << Act([](Driver &d) { d.send(0x02, {1}, 9, 1); }) << "bad checksum";
        QTest::newRow("other secrecy code")
            << Act([](Driver &d) { Driver(d.mouse, QStringLiteral("123456")).send(2, {3}); }) << "bad checksum";
        QTest::newRow("short command report") << Act([](Driver &d) { d.send(0x82, {}, 8); }) << "command report of 8 bytes";
        QTest::newRow("unknown command") << play("7e") << "unknown command 7e";
        QTest::newRow("stray output") << play("/01010101") << "output report without a data phase";
        QTest::newRow("data phase broken off") << play("0c 01 80/" + QByteArray(32, '\1').toHex() + ";82")
                                               << "data phase of 0c broken off after 32 of 128 bytes";
        QTest::newRow("block out of range") << play("0c 05 80") << "profile block with a number out of range";
        QTest::newRow("wrong block length") << play("0d 01 40") << "key matrix with block length 64";
    }
    void protocolErrors()
    {
        QFETCH(std::function<void(Driver &)>, act);
        QFETCH(QString, error);
        VirtualMouse mouse(makeConfig("560", 32, true));
        Driver driver(mouse);
        act(driver);
        QCOMPARE(mouse.protocolErrors().size(), 1);
        QVERIFY2(mouse.protocolErrors().first().startsWith(error), qPrintable(mouse.protocolErrors().first()));
        QCOMPARE(mouse.memory(), VirtualMouseMemory::initial(mouse.config()));
    }

    // A mouse whose two usages agree has one interface for both; the bus lists what its mice list,
    // filters by id, routes an open to the mouse owning the path and fails when one of them fails.
    void enumerationAndBus()
    {
        VirtualMouse first(makeConfig("553"));
        VirtualMouseConfig other = makeConfig("560", 64);
        std::tie(other.pid, other.usagePage2, other.usage2) = std::tuple(0x1234, other.usagePage, other.usage);
        VirtualMouse second(other);
        QCOMPARE(first.enumerate(0, 0)->size(), 2);
        QCOMPARE(second.enumerate(0, 0)->size(), 1);
        QCOMPARE(second.eventPath(), second.commandPath());
        VirtualHidBus bus;
        bus.attach(&first);
        bus.attach(&second);
        QCOMPARE(bus.enumerate(0, 0)->size(), 3);
        QCOMPARE(bus.enumerate(other.vid, other.pid)->at(0).path, second.commandPath());
        const auto handle = bus.openPath(second.commandPath());
        QCOMPARE(second.openHandleCount(VirtualMouse::Interface::Command), 1);
        QCOMPARE(first.openHandleCount(VirtualMouse::Interface::Command), 0);
        first.setEnumerationFails(true);
        QVERIFY(!bus.enumerate(0, 0).has_value());
    }

    // Unplugging fails every open handle, wakes a read waiting for an event, empties enumeration and
    // says so once; plugged in again, old handles stay dead and new ones find the memory kept.
    void unplugAndPlugIn()
    {
        VirtualMouse mouse(makeConfig("553", 64));
        QSignalSpy plugs(&mouse, &VirtualMouse::plugChanged);
        Driver driver(mouse);
        QCOMPARE(driver.send(0x01, {3}), 9);
        auto events = mouse.openPath(mouse.eventPath());
        std::atomic<int> result{1};
        unsigned char buf[8] = {};
        std::unique_ptr<QThread> reader(QThread::create([&] { result = events->readTimeout(buf, sizeof buf, -1); }));
        reader->start();
        QTRY_VERIFY(reader->isRunning());
        mouse.unplug();
        mouse.unplug();
        QVERIFY(reader->wait(5000));
        QCOMPARE(result.load(), -1);
        QVERIFY(mouse.enumerate(0, 0)->isEmpty());
        QVERIFY(!mouse.openPath(mouse.commandPath()));
        QCOMPARE(driver.send(0x01, {4}), -1);
        QVERIFY(driver.reply().isEmpty());
        mouse.plugIn();
        QCOMPARE(QList<QVariantList>(plugs), (QList<QVariantList>{{false}, {true}}));
        QCOMPARE(driver.send(0x01, {4}), -1);
        QCOMPARE(mouse.memory().reportRate, quint8(3));
        QCOMPARE(Driver(mouse).send(0x01, {5}), 9);
        QCOMPARE(mouse.memory().reportRate, quint8(5));
    }

    // The DPI button steps through the stages the program made active, as the mouse holds them, and
    // reports each stage it reaches on the event interface.
    void dpiButtonCyclesActiveStages_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("stages");
        const auto block560 = [](int profile, int mask) {
            return QStringLiteral("0c %1 80/").arg(profile) + pattern(128, 9, 100, mask).toHex();
        };
        QTest::newRow("553 factory: 4 stages, from 2") << "553" << "" << QList<int>{3, 4, 1, 2, 3};
        QTest::newRow("553 five stages") << "553" << "11 05 08/030710fa3f808080" << QList<int>{3, 4, 5, 1, 2, 3};
        QTest::newRow("553 stages switched off inside the count")
            << "553" << "11 08 08/0380101f803f8040" << QList<int>{3, 4, 6, 8, 1, 3};
        QTest::newRow("553 no stage active: stays") << "553" << "11 00 08/8080808080808080" << QList<int>{2, 2};
        QTest::newRow("560 factory: mask 0f") << "560" << "" << QList<int>{3, 4, 1, 2};
        QTest::newRow("560 five stages in profile 1") << "560" << block560(1, 0x1f) << QList<int>{3, 4, 5, 1, 2};
        QTest::newRow("560 the profile in use counts") << "560" << block560(3, 0x85) + ";02 03" << QList<int>{3, 8, 1, 3};
    }
    void dpiButtonCyclesActiveStages()
    {
        QFETCH(QString, family);
        QFETCH(QString, script);
        QFETCH(QList<int>, stages);
        VirtualMouse mouse(makeConfig(family));
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

    // One line per report that crossed, stamped with the clock, enciphered reports as they crossed;
    // the sink sees each line, and nothing is kept while recording is off.
    void trace()
    {
        VirtualClock clock;
        VirtualMouse mouse(makeConfig("553", 32, true), &clock);
        QStringList sunk;
        mouse.setTraceSink([&](const QString &line) { sunk.append(line); });
        Driver driver(mouse);
        clock.advance(128);
        driver.play("11 04 08/030710fa80808080");
        driver.reply();
        clock.advance(5);
        mouse.pressDpiButton(2);
        unsigned char buf[4];
        mouse.openPath(mouse.eventPath())->readTimeout(buf, 4, 0);
        const QStringList expected = {
            "128 -> feature " + QString::fromLatin1(driver.sent.toHex(' ')),
            "128 -> output 00 03 07 10 fa 80 80 80 80" + QString(" 00").repeated(24),
            "128 <- feature 00 11 00 00 00 00 00 00 ee", // plain after a data phase
            "133 <- event 06 07 00 02",
        };
        QCOMPARE(mouse.trace(), expected);
        QCOMPARE(sunk, expected);
        QCOMPARE(mouse.reportCount(), expected.size());
        mouse.clearTrace();
        mouse.setTraceEnabled(false);
        driver.send(0x01, {3});
        QVERIFY(mouse.trace().isEmpty());
        QCOMPARE(sunk.size(), expected.size());
    }

    // The demo's file follows the memory, also when reports are noted from the listener's thread,
    // and is only rewritten when the memory changed; a file that cannot be written is reported.
    void memoryFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("memory.json"));
        VirtualMouse mouse(makeConfig("560"));
        VirtualMouseMemoryFile file(mouse, path);
        QCOMPARE(readJson(path), memoryToJson(mouse.memory()));
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

    void modelFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        // What loaded ("family reportLength isEncode usagePage2") or the word the refusal names.
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << QByteArray("[mouse]\n") << "553 32 0 ff01";
        QTest::newRow("hex ids, one interface")
            << QByteArray("[mouse]\nfamily=553\nreportLength=64\nisEncode=false\nusagePage2=FF00\nusage2=ff00\n")
            << "553 64 0 ff00";
        QTest::newRow("flag written as 1") << QByteArray("[mouse]\nfamily=560\nisEncode=1\n") << "560 32 1 ff01";
        QTest::newRow("unknown family") << QByteArray("[mouse]\nfamily=561\n") << "family";
        QTest::newRow("report length 48") << QByteArray("[mouse]\nreportLength=48\n") << "reportLength";
        QTest::newRow("report length text") << QByteArray("[mouse]\nreportLength=big\n") << "reportLength";
        QTest::newRow("short sCode") << QByteArray("[mouse]\nsCode=58301\n") << "sCode";
        QTest::newRow("vid not hex") << QByteArray("[mouse]\nvid=04g9\n") << "vid";
        QTest::newRow("usage above 16 bits") << QByteArray("[mouse]\nusage=1ff00\n") << "usage";
        QTest::newRow("missing file") << QByteArray() << "no model file";
    }
    void modelFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, expected);
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
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtualmouse.moc"
