// Every command of both families against the virtual mouse: the bytes on the wire, the pauses, the
// results, and what happens when the mouse or the token fails.
#include "HidTestRig.h"
#include "ReportCipher.h"
#include "SecrecyCode.h"

#include <QTest>

#include <functional>

using Call = std::function<void(Hid_Thread &)>;
using Read = std::function<QByteArray(Hid_Thread &)>;
using Setup = std::function<void(HidTestRig &)>;
Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Setup)

namespace {

QByteArray pattern(int size, int first)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(first + i);
    return bytes;
}

QByteArray bytesOf(std::initializer_list<uchar> values)
{
    QByteArray b;
    for (uchar v : values)
        b.append(char(v));
    return b;
}

uchar *bytes(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}

QByteArray fromHex(const QString &hex)
{
    return QByteArray::fromHex(hex.toLatin1());
}

// The data phase as the mouse must see it: reports of reportLength + 1 bytes, ID 0 first, the
// last one padded with zeros.
QStringList outputReports(const QByteArray &block, int reportLength)
{
    QStringList lines;
    for (int offset = 0; offset < block.size(); offset += reportLength) {
        QByteArray report(reportLength + 1, '\0');
        const QByteArray piece = block.mid(offset, reportLength);
        report.replace(1, piece.size(), piece);
        lines << QStringLiteral("-> output ") + QString::fromLatin1(report.toHex(' '));
    }
    return lines;
}

// A command report line, enciphered the way an enciphering mouse with the shipped code expects it.
QString featureOut(const QString &plainHex, bool enciphered)
{
    QByteArray report = fromHex(plainHex);
    if (enciphered)
        ReportCipher::encipher(reinterpret_cast<std::uint8_t *>(report.data()) + 1, SecrecyCode::bytes());
    return QStringLiteral("-> feature ") + QString::fromLatin1(report.toHex(' '));
}

QList<int> repeat(int value, int times)
{
    return QList<int>(times, value);
}

const QList<int> settle{64, 64};

// hidapi hands over the input reports of an interface without numbered reports without a report
// ID, unlike the virtual mouse; this backend answers a block read that way.
class UnnumberedInputBackend : public HidBackend
{
public:
    explicit UnnumberedInputBackend(int reportLength) : m_reportLength(reportLength) {}
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16, quint16) override { return QList<HidInterfaceInfo>(); }
    std::unique_ptr<HidDeviceHandle> openPath(const QString &) override { return std::make_unique<Handle>(*this); }

private:
    struct Handle : HidDeviceHandle
    {
        explicit Handle(UnnumberedInputBackend &b) : b(b) {}
        int sendFeatureReport(const unsigned char *, size_t n) override { return int(n); }
        int getFeatureReport(unsigned char *d, size_t n) override { return int(std::fill_n(d, n, 0) - d); }
        int write(const unsigned char *, size_t n) override { return int(n); }
        int readTimeout(unsigned char *d, size_t n, int) override
        {
            if (n < size_t(b.m_reportLength))
                return -1;
            for (int i = 0; i < b.m_reportLength; ++i)
                d[i] = uchar(b.m_next++);
            return b.m_reportLength;
        }
        int setNonblocking(bool) override { return 0; }
        UnnumberedInputBackend &b;
    };
    const int m_reportLength;
    int m_next = 0;
};

} // namespace

class TestHidProtocol : public QObject
{
    Q_OBJECT

private slots:
    void writes_data();
    void writes();
    void reads_data();
    void reads();
    void failures_data();
    void failures();
    void stalledReadIsBounded();
    void inputReportsWithoutReportId_data();
    void inputReportsWithoutReportId();
    void probe_data();
    void probe();
    void tokenTakenLogsEveryCommand_data();
    void tokenTakenLogsEveryCommand();
    void nestedCommandFailsOuterCompletes();
    void nestedCommandCannotSlipBetweenRepetitions();
};

void TestHidProtocol::writes_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("reports"); // command reports, plain
    QTest::addColumn<QByteArray>("block");    // data phase as sent
    QTest::addColumn<QList<int>>("sleeps");

    static QByteArray colours = pattern(24, 1);
    static QByteArray codes = pattern(8, 0x21);
    static QByteArray matrix = pattern(64, 0x80);
    static QByteArray block128 = pattern(128, 0x10);

    struct Row
    {
        const char *tag;
        const char *family;
        int reportLength;
        bool isGun;
        Call call;
        QStringList reports;
        QByteArray block;
        QList<int> sleeps;
    };
    const QList<int> dataSettle1 = settle + QList<int>{120} + settle;
    const QList<Row> rows = {
        {"553 01H", "553", 32, false, [](Hid_Thread &h) { h.hid553_01H_SetReportRate(3); },
         {"00 01 03 00 00 00 00 00 fb"}, {}, settle},
        {"553 02H", "553", 32, false, [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(2); },
         {"00 02 02 00 00 00 00 00 fb"}, {}, settle},
        {"553 03H", "553", 32, false, [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44); },
         {"00 03 11 22 33 44 00 00 52"}, {}, {8}},
        {"553 04H", "553", 32, false, [](Hid_Thread &h) { h.hid553_04H_SetGunData(5, 6, 7, 0); },
         {"00 04 00 05 06 07 00 00 e9"}, {}, {8}},
        {"553 0BH", "553", 32, false, [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(4); },
         {"00 0b 04 00 00 00 00 00 f0"}, {}, settle},
        {"553 0CH", "553", 32, false,
         [](Hid_Thread &h) {
             uchar rgb[3] = {0x10, 0x20, 0x30};
             h.hid553_0CH_SetFixLEDColor(rgb);
         },
         {"00 0c 10 20 30 00 00 00 93"}, {}, settle},
        {"553 0DH", "553", 32, false, [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(2, 5, 9); },
         {"00 0d 02 05 09 00 00 00 e2"}, {}, settle},
        {"553 10H type 2 sends 4 bytes", "553", 32, false,
         [](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(2, bytes(colours)); },
         {"00 10 02 04 00 00 00 00 e9"}, colours.left(4), dataSettle1},
        {"553 10H 24 bytes in one report", "553", 32, false,
         [](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(1, bytes(colours)); },
         {"00 10 01 18 00 00 00 00 d6"}, colours, dataSettle1},
        {"553 11H", "553", 64, false, [](Hid_Thread &h) { h.hid553_11H_SetDPISet(4, bytes(codes)); },
         {"00 11 04 08 00 00 00 00 e2"}, codes, dataSettle1},
        {"553 12H length 32", "553", 32, false, [](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(bytes(matrix), 1); },
         {"00 12 01 40 08 00 00 00 a4"}, matrix, settle + repeat(120, 2) + settle},
        {"553 12H length 64", "553", 64, false, [](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(bytes(matrix), 1); },
         {"00 12 01 40 08 00 00 00 a4"}, matrix, dataSettle1},
        {"553 13H", "553", 64, false, [](Hid_Thread &h) { h.hid553_13H_SetMacroKey(3, bytes(block128)); },
         {"00 13 03 80 00 00 00 00 69"}, block128, settle + repeat(120, 2) + settle},
        {"560 01H", "560", 32, false, [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(0x0a, 0x0b); },
         {"00 01 0a 0b 00 00 00 00 e9"}, {}, {8}},
        {"560 02H", "560", 32, false, [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(2); },
         {"00 02 02 00 00 00 00 00 fb"}, {}, {8}},
        {"560 03H four times", "560", 32, false, [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
         {"00 03 01 02 00 00 00 00 f9", "00 03 02 02 00 00 00 00 f8", "00 03 03 02 00 00 00 00 f7",
          "00 03 04 02 00 00 00 00 f6"},
         {}, settle + settle + settle + settle},
        {"560 04H four times", "560", 32, false, [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(3); },
         {"00 04 01 03 00 00 00 00 f7", "00 04 02 03 00 00 00 00 f6", "00 04 03 03 00 00 00 00 f5",
          "00 04 04 03 00 00 00 00 f4"},
         {}, settle + settle + settle + settle},
        {"560 04H gun model once", "560", 32, true, [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(3); },
         {"00 04 01 03 00 00 00 00 f7"}, {}, settle},
        {"560 03H gun model once", "560", 64, true, [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
         {"00 03 01 02 00 00 00 00 f9"}, {}, settle},
        {"560 0CH length 32", "560", 32, false, [](Hid_Thread &h) { h.hid560_0CH_setProfile(bytes(block128), 1); },
         {"00 0c 01 80 00 00 00 00 72"}, block128, settle + repeat(120, 4) + settle},
        {"560 0CH length 64", "560", 64, false, [](Hid_Thread &h) { h.hid560_0CH_setProfile(bytes(block128), 1); },
         {"00 0c 01 80 00 00 00 00 72"}, block128, settle + repeat(120, 2) + settle},
        {"560 0DH pads to 128", "560", 64, false, [](Hid_Thread &h) { h.hid560_0DH_SetKeyMatrix(bytes(matrix), 2); },
         {"00 0d 02 80 00 00 00 00 70"}, matrix + QByteArray(64, '\0'), settle + repeat(120, 2) + settle},
        {"560 0FH", "560", 32, false, [](Hid_Thread &h) { h.hid560_0FH_SetMacroKey(1, bytes(block128)); },
         {"00 0f 01 80 00 00 00 00 6f"}, block128, settle + repeat(120, 4) + settle},
    };
    for (const Row &row : rows) {
        for (bool enciphered : {false, true}) {
            QTest::addRow("%s%s", row.tag, enciphered ? " enciphered" : "")
                << QString::fromLatin1(row.family) << row.reportLength << row.isGun << row.call << row.reports
                << row.block << row.sleeps;
        }
    }
}

void TestHidProtocol::writes()
{
    QFETCH(QString, family);
    QFETCH(int, reportLength);
    QFETCH(bool, isGun);
    QFETCH(Call, call);
    QFETCH(QStringList, reports);
    QFETCH(QByteArray, block);
    QFETCH(QList<int>, sleeps);
    const bool enciphered = QString::fromLatin1(QTest::currentDataTag()).endsWith(QLatin1String("enciphered"));

    HidTestRig rig(mouseConfig(family, reportLength, enciphered), isGun);
    QVERIFY(rig.probe());
    call(rig.hid);

    QStringList expected;
    for (const QString &report : reports)
        expected << featureOut(report, enciphered);
    expected << outputReports(block, reportLength);
    QCOMPARE(rig.wire(), expected);
    QCOMPARE(rig.clock.sleeps(), sleeps);
    QCOMPARE(rig.mouse.protocolErrors(), QStringList());
    QVERIFY(rig.hid.hidReady());
}

void TestHidProtocol::reads_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("enciphered");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Read>("read");
    QTest::addColumn<QString>("report");
    QTest::addColumn<int>("inputReports");
    QTest::addColumn<QByteArray>("result");

    const Setup none = [](HidTestRig &) {};
    const QByteArray block = pattern(128, 0x40);
    const Setup profileBlock = [block](HidTestRig &rig) {
        VirtualMouseMemory m = rig.mouse.memory();
        m.profileBlocks[1] = block;
        rig.mouse.setMemory(m);
    };
    const Read read8C = [](Hid_Thread &h) {
        QByteArray b(128, '\xee');
        h.hid560_8CH_readProfile(bytes(b), 1);
        return b;
    };
    for (bool enc : {false, true}) {
        const char *suffix = enc ? " enciphered" : "";
        QTest::addRow("553 00H%s", suffix)
            << "553" << 32 << enc << none
            << Read([](Hid_Thread &h) {
                   uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44;
                   h.hid553_00H_GetSecrecyCode(a, b, c, d);
                   return bytesOf({a, b, c, d});
               })
            << "00 00 11 22 33 44 00 00 55" << 0 << fromHex("11223344");
        QTest::addRow("553 83H%s", suffix)
            << "553" << 32 << enc << Setup([](HidTestRig &rig) {
                   VirtualMouseMemory m = rig.mouse.memory();
                   m.keyboardOption = fromHex("01020304");
                   rig.mouse.setMemory(m);
               })
            << Read([](Hid_Thread &h) {
                   uchar a = 9, b = 9, c = 9, d = 9;
                   h.hid553_83H_GetKeyboardoption(a, b, c, d);
                   return bytesOf({a, b, c, d});
               })
            << "00 83 00 00 00 00 00 00 7c" << 0 << fromHex("01020304");
        QTest::addRow("553 8BH%s", suffix)
            << "553" << 64 << enc << Setup([](HidTestRig &rig) { rig.mouse.pressDpiButton(5); })
            << Read([](Hid_Thread &h) {
                   uchar a = 9;
                   h.hid553_8BH_GetCurrentDPI(a);
                   return QByteArray(1, char(a));
               })
            << "00 8b 00 00 00 00 00 00 74" << 0 << fromHex("05");
        QTest::addRow("560 81H%s", suffix)
            << "560" << 32 << enc << Setup([](HidTestRig &rig) {
                   VirtualMouseMemory m = rig.mouse.memory();
                   m.keyboardOption = fromHex("0a0b");
                   rig.mouse.setMemory(m);
               })
            << Read([](Hid_Thread &h) {
                   uchar a = 9, b = 9;
                   h.hid560_81H_GetKeyboardoption(a, b);
                   return bytesOf({a, b});
               })
            << "00 81 00 00 00 00 00 00 7e" << 0 << fromHex("0a0b");
        QTest::addRow("560 82H%s", suffix)
            << "560" << 32 << enc << Setup([](HidTestRig &rig) {
                   VirtualMouseMemory m = rig.mouse.memory();
                   m.currentProfile = 3;
                   rig.mouse.setMemory(m);
               })
            << Read([](Hid_Thread &h) {
                   uchar a = 9;
                   h.hid560_82H_GetCurrentProfile(a);
                   return QByteArray(1, char(a));
               })
            << "00 82 00 00 00 00 00 00 7d" << 0 << fromHex("03");
        QTest::addRow("560 84H sends byte1%s", suffix)
            << "560" << 32 << enc << Setup([](HidTestRig &rig) { rig.mouse.pressDpiButton(6); })
            << Read([](Hid_Thread &h) {
                   uchar a = 1, b = 9;
                   h.hid560_84H_GetCurrentDPI(a, b);
                   return bytesOf({a, b});
               })
            << "00 84 01 00 00 00 00 00 7a" << 0 << fromHex("0106");
        QTest::addRow("560 8CH length 32%s", suffix)
            << "560" << 32 << enc << profileBlock << read8C << "00 8c 01 00 00 00 00 00 72" << 4 << block;
        QTest::addRow("560 8CH length 64%s", suffix)
            << "560" << 64 << enc << profileBlock << read8C << "00 8c 01 00 00 00 00 00 72" << 2 << block;
    }
}

void TestHidProtocol::reads()
{
    QFETCH(QString, family);
    QFETCH(int, reportLength);
    QFETCH(bool, enciphered);
    QFETCH(Setup, setup);
    QFETCH(Read, read);
    QFETCH(QString, report);
    QFETCH(int, inputReports);
    QFETCH(QByteArray, result);

    HidTestRig rig(mouseConfig(family, reportLength, enciphered));
    QVERIFY(rig.probe());
    setup(rig);
    rig.reset();
    QCOMPARE(read(rig.hid), result);

    const QStringList wire = rig.wire();
    QCOMPARE(wire.size(), 2 + inputReports);
    QCOMPARE(wire[0], featureOut(report, enciphered));
    QVERIFY2(wire[1].startsWith(QLatin1String("<- feature 00 ")), qPrintable(wire[1]));
    for (int i = 0; i < inputReports; ++i)
        QVERIFY2(wire[2 + i].startsWith(QLatin1String("<- input ")), qPrintable(wire[2 + i]));
    QVERIFY(rig.clock.sleeps().isEmpty());
    QCOMPARE(rig.mouse.protocolErrors(), QStringList());
    QVERIFY(rig.hid.hidReady());
}

void TestHidProtocol::failures_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Read>("call");
    QTest::addColumn<QByteArray>("result");      // what the caller's arguments hold afterwards
    QTest::addColumn<int>("reportsCrossed");
    QTest::addColumn<bool>("commandPathCleared");

    const QByteArray block = pattern(128, 0x40);
    const Setup noPath = [](HidTestRig &rig) { rig.setEntry([](DeviceEntry &e) { e.commandPath.clear(); }); };
    const Setup unplugged = [](HidTestRig &rig) { rig.mouse.unplug(); };
    const Setup noReply = [](HidTestRig &rig) { rig.mouse.setNoReply(true); };
    const Setup noReportLength = [](HidTestRig &rig) { rig.setEntry([](DeviceEntry &e) { e.reportLength = 0; }); };
    const Read read83 = [](Hid_Thread &h) {
        uchar a = 1, b = 2, c = 3, d = 4;
        h.hid553_83H_GetKeyboardoption(a, b, c, d);
        return bytesOf({a, b, c, d});
    };
    const Read read8C = [](Hid_Thread &h) {
        QByteArray b(128, '\xee');
        h.hid560_8CH_readProfile(bytes(b), 1);
        return b;
    };
    const Read write12 = [](Hid_Thread &h) {
        QByteArray matrix(64, '\x01');
        h.hid553_12H_SetKeyMatrix(bytes(matrix), 1);
        return QByteArray();
    };
    const Read write0B = [](Hid_Thread &h) {
        h.hid553_0BH_SetCurrentDPI(2);
        return QByteArray();
    };
    const Read write0C = [](Hid_Thread &h) {
        QByteArray b(128, '\x01');
        h.hid560_0CH_setProfile(bytes(b), 1);
        return QByteArray();
    };

    QTest::newRow("no command path: nothing sent") << "553" << noPath << read83 << fromHex("01020304") << 0 << true;
    QTest::newRow("unplugged: path emptied") << "553" << unplugged << read83 << fromHex("01020304") << 0 << true;
    QTest::newRow("no reply keeps 83H values") << "553" << noReply << read83 << fromHex("01020304") << 1 << false;
    QTest::newRow("no reply gives 00H zeros")
        << "553" << noReply
        << Read([](Hid_Thread &h) {
               uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44;
               h.hid553_00H_GetSecrecyCode(a, b, c, d);
               return bytesOf({a, b, c, d});
           })
        << QByteArray(4, '\0') << 1 << false;
    QTest::newRow("command report refused")
        << "553" << Setup([](HidTestRig &rig) { rig.mouse.failFromReport(1); }) << write12 << QByteArray() << 0
        << false;
    QTest::newRow("data phase out breaks off")
        << "560" << Setup([](HidTestRig &rig) { rig.mouse.failFromReport(3); }) << write0C << QByteArray() << 2
        << false;
    QTest::newRow("8CH keeps the bytes not received")
        << "560" << Setup([](HidTestRig &rig) {
               VirtualMouseMemory m = rig.mouse.memory();
               m.profileBlocks[1] = pattern(128, 0x40);
               rig.mouse.setMemory(m);
               rig.mouse.failFromReport(5); // command, reply, two of four input reports
           })
        << read8C << pattern(128, 0x40).left(64) + QByteArray(64, '\xee') << 4 << false;
    QTest::newRow("report length 0 fails a data phase unsent")
        << "553" << noReportLength << write12 << QByteArray() << 0 << false;
    QTest::newRow("report length 0 fails a block read unsent")
        << "560" << noReportLength << read8C << QByteArray(128, '\xee') << 0 << false;
    QTest::newRow("report length 0 is no matter without data phase")
        << "553" << noReportLength << write0B << QByteArray() << 1 << false;
}

void TestHidProtocol::failures()
{
    QFETCH(QString, family);
    QFETCH(Setup, setup);
    QFETCH(Read, call);
    QFETCH(QByteArray, result);
    QFETCH(int, reportsCrossed);
    QFETCH(bool, commandPathCleared);

    HidTestRig rig(mouseConfig(family, 32));
    setup(rig);
    rig.reset();
    QCOMPARE(call(rig.hid), result);
    QCOMPARE(rig.mouse.reportCount(), reportsCrossed);
    QCOMPARE(rig.hid.deviceTable().at(0).commandPath.isEmpty(), commandPathCleared);
    QVERIFY(rig.hid.hidReady());
    QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Command), 0);
}

// A mouse that stops sending mid-block ends the read after the bound, not never.
void TestHidProtocol::stalledReadIsBounded()
{
    HidTestRig rig(mouseConfig(QStringLiteral("560"), 64));
    rig.mouse.setStalledReads(true);
    const qint64 before = rig.clock.nowMs();
    QByteArray b(128, '\xee');
    rig.hid.hid560_8CH_readProfile(bytes(b), 0);
    QCOMPARE(rig.clock.nowMs() - before, qint64(1000));
    QCOMPARE(b, QByteArray(128, '\xee'));
    QVERIFY(rig.hid.hidReady());
}

void TestHidProtocol::inputReportsWithoutReportId_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::newRow("32") << 32;
    QTest::newRow("64") << 64;
}

void TestHidProtocol::inputReportsWithoutReportId()
{
    QFETCH(int, reportLength);
    UnnumberedInputBackend backend(reportLength);
    VirtualClock clock;
    Hid_Thread hid;
    hid.setBackend(&backend);
    hid.setClock(&clock);
    DeviceEntry entry;
    entry.commandPath = QStringLiteral("unnumbered");
    entry.reportLength = reportLength;
    hid.setDeviceTable({entry});
    QByteArray b(128, '\xee');
    hid.hid560_8CH_readProfile(bytes(b), 0);
    QCOMPARE(b, pattern(128, 0));
}

void TestHidProtocol::probe_data()
{
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("passes");

    const Setup none = [](HidTestRig &) {};
    QTest::newRow("plain") << false << none << true;
    QTest::newRow("enciphered, right code") << true << none << true;
    QTest::newRow("enciphered, wrong code")
        << true << Setup([](HidTestRig &rig) { rig.setEntry([](DeviceEntry &e) { e.sCode = QStringLiteral("111111"); }); })
        << false;
    // A code of the wrong length leaves the last probe's code in place, which is this mouse's.
    QTest::newRow("five characters keep the code")
        << true << Setup([](HidTestRig &rig) {
               QVERIFY(rig.hid.chkDeviceIsEnCode(0));
               rig.setEntry([](DeviceEntry &e) { e.sCode = QStringLiteral("58301"); });
           })
        << true;
    QTest::newRow("wrong answer") << false << Setup([](HidTestRig &rig) { rig.mouse.setWrongChallengeAnswer(true); })
                                  << false;
    QTest::newRow("no reply") << false << Setup([](HidTestRig &rig) { rig.mouse.setNoReply(true); }) << false;
    QTest::newRow("unplugged") << false << Setup([](HidTestRig &rig) { rig.mouse.unplug(); }) << false;
    QTest::newRow("token taken") << false << Setup([](HidTestRig &rig) {
        rig.hid.setHidReady(false);
        QTest::ignoreMessage(QtDebugMsg, "cmd Failed 00");
    }) << false;
}

void TestHidProtocol::probe()
{
    QFETCH(bool, isEncode);
    QFETCH(Setup, setup);
    QFETCH(bool, passes);

    // Start every row from a secrecy code that is not the mouse's.
    SecrecyCode::setFromSCode(QStringLiteral("ZZZZZZ"));
    HidTestRig rig(mouseConfig(QStringLiteral("553"), 32, isEncode));
    setup(rig);
    if (QTest::currentTestFailed())
        return;
    DeviceTable table = rig.hid.deviceTable();
    table.prepend(DeviceEntry{}); // the mouse is entry 1
    rig.hid.setDeviceTable(table);
    QCOMPARE(rig.hid.chkDeviceIsEnCode(1), passes);
    QCOMPARE(rig.hid.currentIndex(), 1);
    if (!QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("token")))
        QVERIFY(rig.hid.hidReady());
}

void TestHidProtocol::tokenTakenLogsEveryCommand_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("line");

    static uchar buf[128] = {};
    static uchar r1, r2, r3, r4;
    const QList<QPair<const char *, Call>> rows = {
        {"cmd Failed 00", [](Hid_Thread &h) { h.hid553_00H_GetSecrecyCode(r1, r2, r3, r4); }},
        {"cmd Failed 01", [](Hid_Thread &h) { h.hid553_01H_SetReportRate(1); }},
        {"cmd Failed 02", [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(1); }},
        {"cmd Failed 03", [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); }},
        {"cmd Failed 04", [](Hid_Thread &h) { h.hid553_04H_SetGunData(1, 2, 3, 4); }},
        {"cmd Failed 0B", [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(1); }},
        {"cmd Failed 0C", [](Hid_Thread &h) { h.hid553_0CH_SetFixLEDColor(buf); }},
        {"cmd Failed 0D", [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(1, 2, 3); }},
        {"cmd Failed 10", [](Hid_Thread &h) { h.hid553_10H_SetLED8StageColor(1, buf); }},
        {"cmd Failed 11", [](Hid_Thread &h) { h.hid553_11H_SetDPISet(1, buf); }},
        {"cmd Failed 12", [](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(buf, 1); }},
        {"cmd Failed 13", [](Hid_Thread &h) { h.hid553_13H_SetMacroKey(1, buf); }},
        {"cmd Failed 83", [](Hid_Thread &h) { h.hid553_83H_GetKeyboardoption(r1, r2, r3, r4); }},
        {"cmd Failed 8BH", [](Hid_Thread &h) { h.hid553_8BH_GetCurrentDPI(r1); }},
        {"cmd Failed 01", [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(1, 2); }},
        {"cmd Failed 02", [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(1); }},
        {"cmd Failed 03", [](Hid_Thread &h) { h.hid560_03H_SetReportRate(1); }},
        {"cmd Failed 04", [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(1); }},
        {"cmd Failed 0C", [](Hid_Thread &h) { h.hid560_0CH_setProfile(buf, 1); }},
        {"cmd Failed 0D", [](Hid_Thread &h) { h.hid560_0DH_SetKeyMatrix(buf, 1); }},
        {"cmd Failed 0F", [](Hid_Thread &h) { h.hid560_0FH_SetMacroKey(1, buf); }},
        {"cmd Failed 81", [](Hid_Thread &h) { h.hid560_81H_GetKeyboardoption(r1, r2); }},
        {"cmd Failed 82", [](Hid_Thread &h) { h.hid560_82H_GetCurrentProfile(r1); }},
        {"cmd Failed 84", [](Hid_Thread &h) { h.hid560_84H_GetCurrentDPI(r1, r2); }},
        {"cmd Failed 8c", [](Hid_Thread &h) { h.hid560_8CH_readProfile(buf, 1); }},
    };
    for (int i = 0; i < rows.size(); ++i)
        QTest::addRow("%d %s", i, rows[i].first) << rows[i].second << QString::fromLatin1(rows[i].first);
}

// A command that cannot take the token logs its line after 255 tries of 8 ms and sends nothing.
void TestHidProtocol::tokenTakenLogsEveryCommand()
{
    QFETCH(Call, call);
    QFETCH(QString, line);
    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    rig.hid.setHidReady(false);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
    call(rig.hid);
    QCOMPARE(rig.clock.sleeps(), repeat(8, 255));
    QCOMPARE(rig.mouse.reportCount(), 0);
    QVERIFY(!rig.hid.hidReady());
}

// A command started from an event that the running command processes finds the token taken, gives
// up after its tries, and the outer command completes.
void TestHidProtocol::nestedCommandFailsOuterCompletes()
{
    HidTestRig rig(mouseConfig(QStringLiteral("553")));
    uchar inner = 7;
    QMetaObject::invokeMethod(
        &rig.hid, [&rig, &inner] { rig.hid.hid553_8BH_GetCurrentDPI(inner); }, Qt::QueuedConnection);
    QTest::ignoreMessage(QtDebugMsg, "cmd Failed 8BH");
    rig.hid.hid553_0BH_SetCurrentDPI(4);

    QCOMPARE(inner, uchar(7));
    QCOMPARE(rig.wire(), QStringList{featureOut(QStringLiteral("00 0b 04 00 00 00 00 00 f0"), false)});
    QCOMPARE(rig.clock.sleeps(), repeat(8, 255) + settle);
    QVERIFY(rig.hid.hidReady());
}

// The repetitions of 04H hold the token like any exchange: a command started from the events that
// the second repetition processes fails instead of overwriting the report being sent.
void TestHidProtocol::nestedCommandCannotSlipBetweenRepetitions()
{
    HidTestRig rig(mouseConfig(QStringLiteral("560")));
    bool posted = false;
    rig.mouse.setTraceSink([&rig, &posted](const QString &line) {
        if (!posted && line.contains(QLatin1String("-> feature 00 04 01"))) {
            posted = true;
            QMetaObject::invokeMethod(
                &rig.hid, [&rig] { rig.hid.hid560_02H_SetCurrentProfile(3); }, Qt::QueuedConnection);
        }
    });
    QTest::ignoreMessage(QtDebugMsg, "cmd Failed 02");
    rig.hid.hid560_04H_SetCurrentDPI(3);
    rig.mouse.setTraceSink({});

    const QStringList expected = {
        featureOut(QStringLiteral("00 04 01 03 00 00 00 00 f7"), false),
        featureOut(QStringLiteral("00 04 02 03 00 00 00 00 f6"), false),
        featureOut(QStringLiteral("00 04 03 03 00 00 00 00 f5"), false),
        featureOut(QStringLiteral("00 04 04 03 00 00 00 00 f4"), false),
    };
    QCOMPARE(rig.wire(), expected);
    QCOMPARE(rig.clock.sleeps(), settle + repeat(8, 255) + settle + settle + settle);
    QVERIFY(rig.hid.hidReady());
}

QTEST_MAIN(TestHidProtocol)
#include "tst_hid_protocol.moc"
