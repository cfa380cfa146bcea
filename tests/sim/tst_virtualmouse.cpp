// The virtual mouse driven report by report, independently of the transport: what it stores, what it
// finds wrong, its bus, its plug and its trace.
#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "VirtualHidBus.h"
#include "VirtualMouse.h"

#include <QSignalSpy>
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

QByteArray pattern(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 7);
    return b;
}

using M = VirtualMouseMemory &;
using B = const QByteArray &;
struct Write
{
    const char *tag; // family first
    int code;
    QList<int> params;
    int length; // of the data phase
    void (*change)(VirtualMouseMemory &, const QByteArray &block);
};
const QList<Write> writes = {
    {"553 12H", 0x12, {3, 0x40, 0x08}, 64, [](M m, B b) { m.keyMatrices[2] = b; }},
    {"553 11H", 0x11, {5, 0x08}, 8, [](M m, B b) { m.dpiStageCodes = b, m.dpiStageCount = 5; }},
    {"553 10H", 0x10, {2, 4}, 4, [](M m, B b) { m.ledColors.replace(0, 4, b), m.ledColorType = 2; }},
    {"553 13H", 0x13, {12, 0x80}, 128, [](M m, B b) { m.macros[12] = b; }},
    {"553 03H", 0x03, {1, 2, 3, 0x44}, 0, [](M m, B) { m.keyboardOption = hex("01020344"); }},
    {"553 0BH", 0x0b, {5}, 0, [](M m, B) { m.currentDpiStage = 5; }},
    {"560 0CH", 0x0c, {4, 0x80}, 128, [](M m, B b) { m.profileBlocks[4] = b; }},
    {"560 0DH keeps half the block", 0x0d, {2, 0x80}, 128, [](M m, B b) { m.keyMatrices[1] = b.left(64); }},
    {"560 0FH", 0x0f, {1, 0x80}, 128, [](M m, B b) { m.macros[1] = b; }},
    {"560 01H", 0x01, {0x29, 0x07}, 0, [](M m, B) { m.keyboardOption = hex("2907"); }},
    {"560 02H", 0x02, {4}, 0, [](M m, B) { m.currentProfile = 4; }},
    {"560 04H takes p2", 0x04, {2, 6}, 0, [](M m, B) { m.currentDpiStage = 6; }},
};

} // namespace

class TestVirtualMouse : public QObject
{
    Q_OBJECT

private slots:
    // Every write of both families lands in the memory once its data phase, in reports of either
    // length, is complete; the reply of a data-phase exchange is plain.
    void writesReachMemory_data()
    {
        QTest::addColumn<Write>("w");
        QTest::addColumn<int>("reportLength");
        for (const Write &w : writes) {
            for (int rl : {32, 64})
                QTest::addRow("%s, %d", w.tag, rl) << w << rl;
        }
    }
    void writesReachMemory()
    {
        QFETCH(Write, w);
        QFETCH(int, reportLength);
        VirtualMouse mouse(makeConfig(QString::fromLatin1(w.tag, 3), reportLength, true));
        Driver driver(mouse);
        const QByteArray block = pattern(w.length, w.code);
        VirtualMouseMemory want = mouse.memory();
        w.change(want, block);
        QCOMPARE(driver.send(w.code, w.params), 9);
        QVERIFY(driver.writeBlock(block));
        QCOMPARE(mouse.reportCount(), 1 + (w.length + reportLength - 1) / reportLength);
        QCOMPARE(mouse.memory(), want);
        QVERIFY2(mouse.protocolErrors().isEmpty(), qPrintable(mouse.protocolErrors().join('\n')));
        if (w.length > 0)
            QCOMPARE(quint8(driver.reply()[0]), quint8(w.code));
    }

    // What the mouse finds wrong is listed and changes nothing.
    void protocolErrors_data()
    {
        using Act = std::function<void(Driver &)>;
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("error");
        QTest::newRow("bad checksum") << Act([](Driver &d) { d.send(0x02, {1}, 9, 1); }) << "bad checksum";
        QTest::newRow("other secrecy code")
            << Act([](Driver &d) { Driver(d.mouse, QStringLiteral("123456")).send(2, {3}); }) << "bad checksum";
        QTest::newRow("unknown command") << Act([](Driver &d) { d.send(0x7e); }) << "unknown command 7e";
        QTest::newRow("stray output") << Act([](Driver &d) { d.writeBlock(QByteArray(4, '\1')); })
                                      << "output report without a data phase";
        QTest::newRow("data phase broken off")
            << Act([](Driver &d) { d.send(0x0c, {1, 0x80}), d.writeBlock(QByteArray(32, '\1')), d.send(0x82); })
            << "data phase of 0c broken off after 32 of 128 bytes";
        QTest::newRow("block out of range") << Act([](Driver &d) { d.send(0x0c, {5, 0x80}); })
                                            << "profile block with a number out of range";
        QTest::newRow("wrong block length") << Act([](Driver &d) { d.send(0x0d, {1, 0x40}); })
                                            << "key matrix with block length 64";
        QTest::newRow("short command report") << Act([](Driver &d) { d.send(0x82, {}, 8); })
                                              << "command report of 8 bytes";
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
        other.pid = 0x1234;
        other.usagePage2 = other.usagePage;
        other.usage2 = other.usage;
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
        QCOMPARE(plugs.count(), 1);
        QCOMPARE(plugs.at(0).at(0).toBool(), false);
        QVERIFY(mouse.enumerate(0, 0)->isEmpty());
        QVERIFY(!mouse.openPath(mouse.commandPath()));
        QCOMPARE(driver.send(0x01, {4}), -1);
        QVERIFY(driver.reply().isEmpty());

        mouse.plugIn();
        QCOMPARE(plugs.count(), 2);
        QCOMPARE(plugs.at(1).at(0).toBool(), true);
        QCOMPARE(driver.send(0x01, {4}), -1);
        QCOMPARE(mouse.memory().reportRate, quint8(3));
        QCOMPARE(Driver(mouse).send(0x01, {5}), 9);
        QCOMPARE(mouse.memory().reportRate, quint8(5));
    }

    // The DPI button steps through the stages the program made active, as the mouse holds them, and
    // reports each stage it reaches on the event interface.
    void dpiButtonCyclesActiveStages_data()
    {
        using Setup = std::function<void(Driver &)>;
        QTest::addColumn<QString>("family");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QList<int>>("stages");
        const auto block560 = [](int mask) {
            QByteArray b = pattern(128, 9);
            b[100] = char(mask);
            return b;
        };
        QTest::newRow("553 factory: 4 stages, from 2") << "553" << Setup([](Driver &) {})
                                                       << QList<int>{3, 4, 1, 2, 3};
        QTest::newRow("553 five stages") << "553" << Setup([](Driver &d) {
            d.send(0x11, {5, 8}), d.writeBlock(hex("030710fa3f808080"));
        }) << QList<int>{3, 4, 5, 1, 2, 3};
        QTest::newRow("553 stages switched off inside the count") << "553" << Setup([](Driver &d) {
            d.send(0x11, {8, 8}), d.writeBlock(hex("0380101f803f8040"));
        }) << QList<int>{3, 4, 6, 8, 1, 3};
        QTest::newRow("553 no stage active: stays") << "553" << Setup([](Driver &d) {
            d.send(0x11, {0, 8}), d.writeBlock(hex("8080808080808080"));
        }) << QList<int>{2, 2};
        QTest::newRow("560 factory: mask 0f") << "560" << Setup([](Driver &) {}) << QList<int>{3, 4, 1, 2};
        QTest::newRow("560 five stages in profile 1") << "560" << Setup([=](Driver &d) {
            d.send(0x0c, {1, 0x80}), d.writeBlock(block560(0x1f));
        }) << QList<int>{3, 4, 5, 1, 2};
        QTest::newRow("560 the profile in use counts") << "560" << Setup([=](Driver &d) {
            d.send(0x0c, {3, 0x80}), d.writeBlock(block560(0x85)), d.send(0x02, {3});
        }) << QList<int>{3, 8, 1, 3};
    }
    void dpiButtonCyclesActiveStages()
    {
        QFETCH(QString, family);
        QFETCH(std::function<void(Driver &)>, setup);
        QFETCH(QList<int>, stages);
        VirtualMouse mouse(makeConfig(family));
        Driver driver(mouse);
        setup(driver);
        QVERIFY2(mouse.protocolErrors().isEmpty(), qPrintable(mouse.protocolErrors().join('\n')));
        QCOMPARE(mouse.memory().currentDpiStage, quint8(2));
        auto events = mouse.openPath(mouse.eventPath());
        QList<int> pressed, reported;
        for (int i = 0; i < stages.size(); ++i) {
            pressed << mouse.pressDpiButton();
            unsigned char report[4] = {};
            QCOMPARE(events->readTimeout(report, 4, 0), 4);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(report), 3), hex("060700"));
            reported << report[3];
        }
        QCOMPARE(pressed, stages);
        QCOMPARE(reported, stages);
        QCOMPARE(int(mouse.memory().currentDpiStage), stages.last());
        mouse.unplug();
        QCOMPARE(mouse.pressDpiButton(), 0);
    }

    // A mouse whose nodes the user may not open: enumeration still lists it, opens fail, and the
    // reason is told apart from a mouse that is gone.
    void openDenied()
    {
        VirtualMouse mouse(makeConfig("553"));
        mouse.setOpenDenied(true);
        QCOMPARE(mouse.enumerate(0, 0)->size(), 2);
        QVERIFY(!mouse.openPath(mouse.commandPath()));
        QCOMPARE(mouse.openFailure(mouse.commandPath()), HidOpenFailure::PermissionDenied);
        QCOMPARE(mouse.openFailure(QStringLiteral("elsewhere")), HidOpenFailure::Gone);
        mouse.clearFailures();
        QCOMPARE(mouse.openFailure(mouse.eventPath()), HidOpenFailure::None);
        mouse.unplug();
        QCOMPARE(mouse.openFailure(mouse.commandPath()), HidOpenFailure::Gone);
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
        driver.send(0x11, {4, 8});
        driver.writeBlock(hex("030710fa80808080"));
        driver.reply();
        clock.advance(5);
        mouse.pressDpiButton(2);
        auto events = mouse.openPath(mouse.eventPath());
        unsigned char buf[4];
        events->readTimeout(buf, 4, 0);

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
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtualmouse.moc"
