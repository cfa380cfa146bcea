#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "VirtualHidBus.h"
#include "VirtualMouse.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <array>

namespace {

VirtualMouseConfig makeConfig(const QString &family, int reportLength, bool isEncode)
{
    VirtualMouseConfig c;
    c.family = family;
    c.reportLength = reportLength;
    c.isEncode = isEncode;
    return c;
}

std::array<std::uint8_t, 8> secrecyOf(const QString &sCode)
{
    std::array<std::uint8_t, 8> s{};
    for (int i = 0; i < 6 && i < sCode.size(); ++i)
        s[1 + i] = static_cast<std::uint8_t>(sCode[i].toLatin1());
    return s;
}

// Plays the program's side of the exchanges, independently of the transport under development.
class Driver
{
public:
    explicit Driver(VirtualMouse &mouse, const QString &sCode = QString())
        : m_mouse(mouse), m_secrecy(secrecyOf(sCode.isEmpty() ? mouse.config().sCode : sCode)),
          m_handle(mouse.openPath(mouse.commandPath()))
    {
        QVERIFY(m_handle);
    }

    QByteArray commandReport(int code, QList<int> params) const
    {
        std::array<std::uint8_t, 9> r{};
        r[1] = static_cast<std::uint8_t>(code);
        for (int i = 0; i < params.size(); ++i)
            r[2 + i] = static_cast<std::uint8_t>(params[i]);
        r[8] = ReportCipher::checksum(r.data() + 1);
        if (m_mouse.config().isEncode)
            ReportCipher::encipher(r.data() + 1, m_secrecy.data());
        return QByteArray(reinterpret_cast<const char *>(r.data()), 9);
    }

    int send(int code, QList<int> params = {})
    {
        const QByteArray r = commandReport(code, params);
        return m_handle->sendFeatureReport(reinterpret_cast<const unsigned char *>(r.constData()), 9);
    }

    // The reply's r0..r7, deciphered when `decipher`; empty when the read failed.
    QByteArray reply(bool decipher)
    {
        std::array<std::uint8_t, 9> r{};
        if (m_handle->getFeatureReport(r.data(), r.size()) != 9)
            return {};
        if (decipher && m_mouse.config().isEncode)
            ReportCipher::decipher(r.data() + 1, m_secrecy.data());
        return QByteArray(reinterpret_cast<const char *>(r.data()) + 1, 8);
    }

    bool writeBlock(const QByteArray &block)
    {
        const int piece = m_mouse.config().reportLength;
        for (int offset = 0; offset < block.size(); offset += piece) {
            QByteArray report(piece + 1, '\0');
            const QByteArray part = block.mid(offset, piece);
            report.replace(1, part.size(), part);
            if (m_handle->write(reinterpret_cast<const unsigned char *>(report.constData()), report.size())
                != report.size())
                return false;
        }
        return true;
    }

    QByteArray readBlock(int length)
    {
        const int piece = m_mouse.config().reportLength;
        QByteArray block;
        while (block.size() < length) {
            QByteArray buffer(piece + 1, '\0');
            const int n = m_handle->readTimeout(reinterpret_cast<unsigned char *>(buffer.data()), buffer.size(), 50);
            if (n <= 0)
                break;
            block += buffer.mid(1, std::min(piece, length - static_cast<int>(block.size())));
        }
        return block;
    }

    HidDeviceHandle &handle() { return *m_handle; }

private:
    VirtualMouse &m_mouse;
    std::array<std::uint8_t, 8> m_secrecy;
    std::unique_ptr<HidDeviceHandle> m_handle;
};

QByteArray pattern(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = static_cast<char>(seed + i * 7);
    return b;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestVirtualMouse : public QObject
{
    Q_OBJECT

private slots:
    void challenge_data();
    void challenge();
    void dataPhaseAcrossReportLengths_data();
    void dataPhaseAcrossReportLengths();
    void profileBlockRoundTrip_data();
    void profileBlockRoundTrip();
    void readCommands_data();
    void readCommands();
    void protocolErrors_data();
    void protocolErrors();
    void enumerationAndBus();
    void eventReportsAndWakeOnUnplug();
    void unplugAndPlugIn();
    void failFromNthReport();
    void replyFailures();
    void stalledReadAdvancesVirtualTime();
    void traceLineFormat();
};

void TestVirtualMouse::challenge_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<bool>("wrongAnswer");
    for (const char *family : {"553", "560"}) {
        for (bool encode : {false, true}) {
            QTest::addRow("%s %s", family, encode ? "enciphered" : "plain") << family << encode << false;
            QTest::addRow("%s %s wrong answer", family, encode ? "enciphered" : "plain") << family << encode << true;
        }
    }
}

void TestVirtualMouse::challenge()
{
    QFETCH(QString, family);
    QFETCH(bool, isEncode);
    QFETCH(bool, wrongAnswer);
    VirtualMouse mouse(makeConfig(family, 32, isEncode));
    mouse.setWrongChallengeAnswer(wrongAnswer);
    Driver driver(mouse);

    QCOMPARE(driver.send(0x00, {0x9a, 0x01, 0xff, 0x40}), 9);
    const QByteArray reply = driver.reply(true);
    QCOMPARE(reply.size(), 8);
    const QByteArray echoed = reply.mid(1, 4);
    QCOMPARE(echoed == hex("9a01ff40"), !wrongAnswer);
    // The reply carries the frame of a command report, so its checksum must hold after deciphering.
    QCOMPARE(quint8(reply[7]), ReportCipher::checksum(reinterpret_cast<const std::uint8_t *>(reply.constData())));
    // On an enciphering mouse the raw reply differs from the deciphered one.
    QCOMPARE(driver.reply(false) != reply, isEncode);
    QVERIFY(mouse.protocolErrors().isEmpty());
}

void TestVirtualMouse::dataPhaseAcrossReportLengths_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<int>>("params");
    QTest::addColumn<int>("length");
    for (int rl : {32, 64}) {
        QTest::addRow("553 12H key matrix 3, %d", rl) << "553" << rl << 0x12 << QList<int>{3, 0x40, 0x08} << 64;
        QTest::addRow("553 11H DPI stages, %d", rl) << "553" << rl << 0x11 << QList<int>{5, 0x08} << 8;
        QTest::addRow("553 10H type 2, %d", rl) << "553" << rl << 0x10 << QList<int>{2, 4} << 4;
        QTest::addRow("553 13H macro 12, %d", rl) << "553" << rl << 0x13 << QList<int>{12, 0x80} << 128;
        QTest::addRow("560 0CH block 4, %d", rl) << "560" << rl << 0x0c << QList<int>{4, 0x80} << 128;
        QTest::addRow("560 0DH key matrix 2, %d", rl) << "560" << rl << 0x0d << QList<int>{2, 0x80} << 128;
        QTest::addRow("560 0FH macro 1, %d", rl) << "560" << rl << 0x0f << QList<int>{1, 0x80} << 128;
    }
}

void TestVirtualMouse::dataPhaseAcrossReportLengths()
{
    QFETCH(QString, family);
    QFETCH(int, reportLength);
    QFETCH(int, code);
    QFETCH(QList<int>, params);
    QFETCH(int, length);
    VirtualMouse mouse(makeConfig(family, reportLength, true));
    Driver driver(mouse);
    QByteArray block = pattern(length, code);
    if (code == 0x0d)
        block.replace(64, 64, QByteArray(64, '\0'));

    QCOMPARE(driver.send(code, params), 9);
    // Nothing changes before the last piece has arrived.
    const VirtualMouseMemory before = mouse.memory();
    QVERIFY(driver.writeBlock(block));
    const int reports = (length + reportLength - 1) / reportLength;
    QCOMPARE(mouse.reportCount(), 1 + reports);

    const VirtualMouseMemory m = mouse.memory();
    QVERIFY(m != before);
    const int n = params[0];
    switch (code) {
    case 0x12: QCOMPARE(m.keyMatrices[n - 1], block); break;
    case 0x11:
        QCOMPARE(m.dpiStageCodes, block);
        QCOMPARE(m.dpiStageCount, quint8(n));
        break;
    case 0x10:
        QCOMPARE(m.ledColors.left(4), block);
        QCOMPARE(m.ledColors.mid(4), before.ledColors.mid(4));
        break;
    case 0x13:
    case 0x0f: QCOMPARE(m.macros.value(n), block); break;
    case 0x0c: QCOMPARE(m.profileBlocks[n], block); break;
    case 0x0d: QCOMPARE(m.keyMatrices[n - 1], block.left(64)); break;
    }
    QVERIFY2(mouse.protocolErrors().isEmpty(), qPrintable(mouse.protocolErrors().join('\n')));
    // A data-phase exchange is plain after its command report, the reply included.
    QCOMPARE(quint8(driver.reply(false)[0]), quint8(code));
}

void TestVirtualMouse::profileBlockRoundTrip_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("isEncode");
    QTest::newRow("32 plain") << 32 << false;
    QTest::newRow("32 enciphered") << 32 << true;
    QTest::newRow("64 plain") << 64 << false;
    QTest::newRow("64 enciphered") << 64 << true;
}

void TestVirtualMouse::profileBlockRoundTrip()
{
    QFETCH(int, reportLength);
    QFETCH(bool, isEncode);
    VirtualMouse mouse(makeConfig("560", reportLength, isEncode));
    Driver driver(mouse);
    const QByteArray block = pattern(128, 0x31);

    driver.send(0x0c, {3, 0x80});
    QVERIFY(driver.writeBlock(block));
    mouse.clearTrace();
    driver.send(0x8c, {3});
    // The reply of the block read is never enciphered.
    const QByteArray reply = driver.reply(false);
    QCOMPARE(quint8(reply[0]), quint8(0x8c));
    QCOMPARE(quint8(reply[1]), quint8(3));
    QCOMPARE(driver.readBlock(128), block);
    QCOMPARE(mouse.reportCount(), 2 + 128 / reportLength);
    // Other blocks keep their factory contents.
    QCOMPARE(mouse.memory().profileBlocks[2], VirtualMouseMemory::initial(mouse.config()).profileBlocks[2]);
}

void TestVirtualMouse::readCommands_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("setCode");
    QTest::addColumn<QList<int>>("setParams");
    QTest::addColumn<int>("readCode");
    QTest::addColumn<QList<int>>("readParams");
    QTest::addColumn<QByteArray>("r1to4");
    QTest::newRow("553 83H after 03H") << "553" << 0x03 << QList<int>{1, 2, 3, 0x44} << 0x83 << QList<int>{}
                                       << hex("01020344");
    QTest::newRow("553 8BH after 0BH") << "553" << 0x0b << QList<int>{5} << 0x8b << QList<int>{} << hex("05000000");
    QTest::newRow("560 81H after 01H") << "560" << 0x01 << QList<int>{0x29, 0x07} << 0x81 << QList<int>{}
                                       << hex("29070000");
    QTest::newRow("560 82H after 02H") << "560" << 0x02 << QList<int>{4} << 0x82 << QList<int>{} << hex("04000000");
    QTest::newRow("560 84H after 04H echoes p1") << "560" << 0x04 << QList<int>{2, 6} << 0x84 << QList<int>{1}
                                                 << hex("01060000");
}

void TestVirtualMouse::readCommands()
{
    QFETCH(QString, family);
    QFETCH(int, setCode);
    QFETCH(QList<int>, setParams);
    QFETCH(int, readCode);
    QFETCH(QList<int>, readParams);
    QFETCH(QByteArray, r1to4);
    VirtualMouse mouse(makeConfig(family, 32, true));
    Driver driver(mouse);
    driver.send(setCode, setParams);
    driver.send(readCode, readParams);
    QCOMPARE(driver.reply(true).mid(1, 4), r1to4);
}

void TestVirtualMouse::protocolErrors_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("error");
    QTest::newRow("bad checksum") << "checksum" << "bad checksum";
    QTest::newRow("other secrecy code") << "secrecy" << "bad checksum";
    QTest::newRow("unknown command") << "unknown" << "unknown command 7e";
    QTest::newRow("output without data phase") << "stray output" << "output report without a data phase";
    QTest::newRow("data phase broken off") << "broken" << "data phase of 0c broken off after 32 of 128 bytes";
    QTest::newRow("block out of range") << "block 5" << "profile block with a number out of range";
    QTest::newRow("wrong block length") << "length" << "key matrix with block length 64";
    QTest::newRow("short command report") << "short" << "command report of 8 bytes";
}

void TestVirtualMouse::protocolErrors()
{
    QFETCH(QString, scenario);
    QFETCH(QString, error);
    VirtualMouse mouse(makeConfig("560", 32, true));
    Driver driver(mouse);
    HidDeviceHandle &h = driver.handle();
    if (scenario == "checksum") {
        QByteArray r = driver.commandReport(0x02, {1});
        r[8] = char(r[8] ^ 1);
        h.sendFeatureReport(reinterpret_cast<const unsigned char *>(r.constData()), 9);
    } else if (scenario == "secrecy") {
        Driver stranger(mouse, QStringLiteral("123456"));
        stranger.send(0x02, {3});
        // An ignored report leaves a reply of zeros, which no challenge can match.
        QCOMPARE(stranger.reply(false), QByteArray(8, '\0'));
    } else if (scenario == "unknown") {
        driver.send(0x7e);
    } else if (scenario == "stray output") {
        driver.writeBlock(QByteArray(4, '\1'));
    } else if (scenario == "broken") {
        driver.send(0x0c, {1, 0x80});
        driver.writeBlock(QByteArray(32, '\1'));
        driver.send(0x82);
    } else if (scenario == "block 5") {
        driver.send(0x0c, {5, 0x80});
    } else if (scenario == "length") {
        driver.send(0x0d, {1, 0x40});
    } else if (scenario == "short") {
        const QByteArray r = driver.commandReport(0x82, {});
        h.sendFeatureReport(reinterpret_cast<const unsigned char *>(r.constData()), 8);
    }
    QCOMPARE(mouse.protocolErrors().size(), 1);
    QVERIFY2(mouse.protocolErrors().first().startsWith(error), qPrintable(mouse.protocolErrors().first()));
    QCOMPARE(mouse.memory(), VirtualMouseMemory::initial(mouse.config()));
}

void TestVirtualMouse::enumerationAndBus()
{
    VirtualMouse first(makeConfig("553", 32, false));
    VirtualMouseConfig other = makeConfig("560", 64, false);
    other.pid = 0x1234;
    other.usagePage2 = other.usagePage;
    other.usage2 = other.usage;
    VirtualMouse second(other);
    // One interface when both usages agree; each mouse has its own paths.
    QCOMPARE(first.enumerate(0, 0)->size(), 2);
    QCOMPARE(second.enumerate(0, 0)->size(), 1);
    QCOMPARE(second.eventPath(), second.commandPath());
    QVERIFY(first.commandPath() != first.eventPath() && first.commandPath() != second.commandPath());

    VirtualHidBus bus;
    bus.attach(&first);
    bus.attach(&second);
    bus.attach(&first);
    QCOMPARE(bus.enumerate(0, 0)->size(), 3);
    const auto onlySecond = bus.enumerate(other.vid, other.pid);
    QCOMPARE(onlySecond->size(), 1);
    QCOMPARE(onlySecond->at(0).path, second.commandPath());
    auto handle = bus.openPath(second.commandPath());
    QVERIFY(handle);
    QCOMPARE(second.openHandleCount(VirtualMouse::Interface::Command), 1);
    QCOMPARE(first.openHandleCount(VirtualMouse::Interface::Command), 0);

    first.setEnumerationFails(true);
    QVERIFY(!bus.enumerate(0, 0).has_value());
    bus.detach(&first);
    QCOMPARE(bus.enumerate(0, 0)->size(), 1);
    QVERIFY(!bus.openPath(first.commandPath()));
}

void TestVirtualMouse::eventReportsAndWakeOnUnplug()
{
    VirtualMouse mouse(makeConfig("560", 32, true));
    auto events = mouse.openPath(mouse.eventPath());
    QVERIFY(events);
    QCOMPARE(mouse.openHandleCount(VirtualMouse::Interface::Event), 1);
    unsigned char buf[8] = {};

    QVERIFY(mouse.pressDpiButton(3));
    QVERIFY(mouse.sendEventReport(hex("060800")));
    QCOMPARE(events->readTimeout(buf, sizeof buf, 500), 4);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 4), hex("06070003"));
    QCOMPARE(mouse.memory().currentDpiStage, quint8(3));
    QCOMPARE(events->readTimeout(buf, sizeof buf, 500), 3);
    QCOMPARE(events->readTimeout(buf, sizeof buf, 1), 0);

    // A read waiting for an event wakes up when the mouse is unplugged, and fails.
    std::atomic<int> result{1};
    std::unique_ptr<QThread> reader(QThread::create([&] { result = events->readTimeout(buf, sizeof buf, -1); }));
    reader->start();
    QTRY_VERIFY(reader->isRunning());
    mouse.unplug();
    QVERIFY(reader->wait(5000));
    QCOMPARE(result.load(), -1);
    QVERIFY(!mouse.pressDpiButton(2));

    // A read on a worker is answered by a report queued on another thread.
    mouse.plugIn();
    auto again = mouse.openPath(mouse.eventPath());
    std::unique_ptr<QThread> waiter(QThread::create([&] { result = again->readTimeout(buf, sizeof buf, -1); }));
    waiter->start();
    QVERIFY(mouse.pressDpiButton(7));
    QVERIFY(waiter->wait(5000));
    QCOMPARE(result.load(), 4);
    QCOMPARE(int(buf[3]), 7);
}

void TestVirtualMouse::unplugAndPlugIn()
{
    VirtualMouse mouse(makeConfig("553", 64, false));
    QSignalSpy plugs(&mouse, &VirtualMouse::plugChanged);
    Driver driver(mouse);
    QCOMPARE(driver.send(0x01, {3}), 9);

    mouse.unplug();
    mouse.unplug();
    QCOMPARE(plugs.count(), 1);
    QCOMPARE(plugs.at(0).at(0).toBool(), false);
    QVERIFY(mouse.enumerate(0, 0)->isEmpty());
    QVERIFY(!mouse.openPath(mouse.commandPath()));
    QCOMPARE(driver.send(0x01, {4}), -1);
    QVERIFY(driver.reply(false).isEmpty());
    QCOMPARE(driver.handle().setNonblocking(false), -1);

    mouse.plugIn();
    QCOMPARE(plugs.count(), 2);
    QCOMPARE(plugs.at(1).at(0).toBool(), true);
    QCOMPARE(mouse.enumerate(0, 0)->size(), 2);
    // A handle from before the unplug stays dead; a new one works, and the memory survived.
    QCOMPARE(driver.send(0x01, {4}), -1);
    Driver fresh(mouse);
    QCOMPARE(mouse.memory().reportRate, quint8(3));
    QCOMPARE(fresh.send(0x01, {5}), 9);
    QCOMPARE(mouse.memory().reportRate, quint8(5));
}

void TestVirtualMouse::failFromNthReport()
{
    VirtualMouse mouse(makeConfig("560", 32, false));
    Driver driver(mouse);
    auto events = mouse.openPath(mouse.eventPath());
    mouse.failFromReport(3);
    QCOMPARE(driver.send(0x0c, {1, 0x80}), 9);
    const QByteArray block(128, '\x55');
    QVERIFY(!driver.writeBlock(block)); // the second piece is report 3
    QCOMPARE(driver.send(0x82), -1);
    QVERIFY(driver.reply(false).isEmpty());
    // The event interface is not counted.
    QVERIFY(mouse.pressDpiButton(1));
    unsigned char buf[4];
    QCOMPARE(events->readTimeout(buf, 4, 100), 4);
    QCOMPARE(mouse.reportCount(), 3);
    QVERIFY(mouse.memory().profileBlocks[1] != block);

    mouse.clearFailures();
    QCOMPARE(driver.send(0x82), 9);
}

void TestVirtualMouse::replyFailures()
{
    VirtualMouse mouse(makeConfig("553", 32, true));
    Driver driver(mouse);
    mouse.setNoReply(true);
    QCOMPARE(driver.send(0x00, {1, 2, 3, 4}), 9);
    QVERIFY(driver.reply(true).isEmpty());
    mouse.setNoReply(false);
    QCOMPARE(driver.reply(true).mid(1, 4), hex("01020304"));

    mouse.setGarbageReplies(true);
    const QByteArray first = driver.reply(true);
    const QByteArray second = driver.reply(true);
    QVERIFY(first.mid(1, 4) != hex("01020304"));
    QVERIFY(first != second);
}

void TestVirtualMouse::stalledReadAdvancesVirtualTime()
{
    VirtualClock clock;
    VirtualMouse mouse(makeConfig("560", 32, false), &clock);
    Driver driver(mouse);
    mouse.setStalledReads(true);
    driver.send(0x8c, {1});
    QCOMPARE(quint8(driver.reply(false)[0]), quint8(0x8c));
    unsigned char buf[33];
    QCOMPARE(driver.handle().readTimeout(buf, sizeof buf, 1000), 0);
    QCOMPARE(clock.nowMs(), qint64(1000));
    QVERIFY(clock.sleeps().isEmpty());

    // Once the stall ends, the next block read is answered in full.
    mouse.setStalledReads(false);
    driver.send(0x8c, {1});
    QCOMPARE(driver.readBlock(128), mouse.memory().profileBlocks[1]);
    QCOMPARE(clock.nowMs(), qint64(1000));
}

void TestVirtualMouse::traceLineFormat()
{
    VirtualClock clock;
    VirtualMouse mouse(makeConfig("553", 32, false), &clock);
    QStringList sunk;
    mouse.setTraceSink([&](const QString &line) { sunk.append(line); });
    Driver driver(mouse);
    clock.advance(128);
    driver.send(0x01, {3});
    clock.advance(5);
    driver.send(0x11, {4, 8});
    driver.writeBlock(hex("030710fa80808080"));
    driver.send(0x8b);
    driver.reply(false);
    mouse.pressDpiButton(2);
    auto events = mouse.openPath(mouse.eventPath());
    unsigned char buf[4];
    events->readTimeout(buf, 4, 0);

    const QStringList expected = {
        "128 -> feature 00 01 03 00 00 00 00 00 fb",
        "133 -> feature 00 11 04 08 00 00 00 00 e2",
        "133 -> output 00 03 07 10 fa 80 80 80 80" + QString(" 00").repeated(24),
        "133 -> feature 00 8b 00 00 00 00 00 00 74",
        "133 <- feature 00 8b 02 00 00 00 00 00 72",
        "133 <- event 06 07 00 02",
    };
    QCOMPARE(mouse.trace(), expected);
    QCOMPARE(sunk, expected);
    QCOMPARE(mouse.reportCount(), expected.size());

    // Enciphered reports appear as they crossed.
    VirtualMouse coded(makeConfig("553", 32, true), &clock);
    Driver codedDriver(coded);
    const QByteArray sent = codedDriver.commandReport(0x01, {3});
    codedDriver.send(0x01, {3});
    QCOMPARE(coded.trace(), QStringList{"133 -> feature " + QString::fromLatin1(sent.toHex(' '))});

    mouse.clearTrace();
    mouse.setTraceEnabled(false);
    driver.send(0x01, {3});
    QVERIFY(mouse.trace().isEmpty());
    QCOMPARE(sunk.size(), expected.size());
}

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtualmouse.moc"
