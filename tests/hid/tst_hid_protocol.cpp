// Every command of both families against the virtual mouse: the bytes on the wire, the pauses, the
// results, and what happens when the mouse or the token fails; the report cipher against vectors
// worked by hand, and the secrecy code. The device event listener on its own thread: stage reports,
// unplug, stop, restart (scripts/test runs this suite again under ThreadSanitizer).
#include "HidTestRig.h"
#include "ReportCipher.h"
#include "SecrecyCode.h"

#include <QTest>

#include <numeric>

// A slot call; returns what the caller's arguments hold afterwards.
using Call = std::function<QByteArray(Hid_Thread &)>;
using Setup = std::function<void(HidTestRig &)>;

// A slot call as a table cell: it hands back its four result bytes, which start as 11 22 33 44 so
// that a reply that never came shows.
#define CALL(call)                                                                                  \
    [](Hid_Thread &h) {                                                                             \
        uchar v[4] = {0x11, 0x22, 0x33, 0x44};                                                      \
        return h.call, QByteArray(reinterpret_cast<char *>(v), 4);                                  \
    }

namespace {

QByteArray pattern(int size, int first)
{
    QByteArray bytes(size, '\0');
    std::iota(bytes.begin(), bytes.end(), char(first));
    return bytes;
}

uchar *bytes(QByteArray &b) { return reinterpret_cast<uchar *>(b.data()); }
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }
QList<int> repeat(int value, int times) { return QList<int>(times, value); }
const QList<int> settle{64, 64};
const QList<int> data1 = settle + QList<int>{120} + settle, data2 = settle + repeat(120, 2) + settle,
                 data4 = settle + repeat(120, 4) + settle, four = settle + settle + settle + settle;
QByteArray colours = pattern(24, 1), codes = pattern(8, 0x21), matrix = pattern(64, 0x80), block = pattern(128, 0x10);
const QByteArray untouched(128, '\xee');

const Call read8C = [](Hid_Thread &h) {
    QByteArray b = untouched;
    h.hid560_8CH_readProfile(bytes(b), 1);
    return b;
};
QByteArray factoryBlock1() { return VirtualMouseMemory::initial(mouseConfig(QStringLiteral("560"))).profileBlocks[1]; }

// What the mouse must see: the command reports (given without their report ID 0), enciphered the way
// an enciphering mouse with the shipped code expects them; then the data phase in reports of
// reportLength + 1 bytes, ID 0 first, the last one padded with zeros.
QStringList sentLines(const QStringList &reports, const QByteArray &data, int reportLength, bool enciphered)
{
    QStringList lines;
    for (const QString &hexText : reports) {
        QByteArray report = QByteArray::fromHex("00" + hexText.toLatin1());
        if (enciphered)
            ReportCipher::encipher(reinterpret_cast<std::uint8_t *>(report.data()) + 1, SecrecyCode::bytes());
        lines << QStringLiteral("-> feature ") + QString::fromLatin1(report.toHex(' '));
    }
    for (int offset = 0; offset < data.size(); offset += reportLength) {
        QByteArray report(reportLength + 1, '\0');
        report.replace(1, std::min(reportLength, int(data.size()) - offset), data.mid(offset, reportLength));
        lines << QStringLiteral("-> output ") + QString::fromLatin1(report.toHex(' '));
    }
    return lines;
}

struct Command
{
    const char *tag; // family first
    int reportLength;
    Call call;
    QStringList reports; // command reports, plain
    QByteArray out;      // data phase out, as sent
    QList<int> sleeps;
    int inputs = -1; // reads: input reports after the reply; writes have no reply
    QByteArray result = hex("11223344");
    // Logged when the token cannot be taken; nullptr: "cmd Failed " and the code.
    const char *failLine = nullptr;
    bool isGun = false;
};

struct Failure
{
    const char *tag;
    const char *family;
    Setup setup;
    Call call;
    QByteArray result;
    int reportsCrossed;
    bool commandPathCleared;
    bool isEncode = false;
    bool tokenBack = true;
    int boundMs = -1; // how long the call takes on the protocol clock; -1: not checked
};

// The reads find in the mouse what commands() puts there.
const QList<Command> commandRows = {
    {"553 01H", 32, CALL(hid553_01H_SetReportRate(3)), {"01 03 00 00 00 00 00 fb"}, {}, settle},
    {"553 02H", 32, CALL(hid553_02H_SetCurrentKeyMatrix(2)), {"02 02 00 00 00 00 00 fb"}, {}, settle},
    {"553 03H, sum wraps", 32, CALL(hid553_03H_SetKeyboardoption(0xf1, 0xf2, 0xf3, 0xf4)), {"03 f1 f2 f3 f4 00 00 32"},
     {}, {8}},
    {"553 04H", 32, CALL(hid553_04H_SetGunData(5, 6, 7, 0)), {"04 00 05 06 07 00 00 e9"}, {}, {8}},
    {"553 0BH", 32, CALL(hid553_0BH_SetCurrentDPI(4)), {"0b 04 00 00 00 00 00 f0"}, {}, settle},
    {"553 0CH", 32, CALL(hid553_0CH_SetFixLEDColor(v)), {"0c 11 22 33 00 00 00 8d"}, {}, settle},
    {"553 0DH", 32, CALL(hid553_0DH_SetRGBLedEffect(2, 5, 9)), {"0d 02 05 09 00 00 00 e2"}, {}, settle},
    {"553 10H type 2", 32, CALL(hid553_10H_SetLED8StageColor(2, bytes(colours))), {"10 02 04 00 00 00 00 e9"},
     colours.left(4), data1},
    {"553 10H type 1", 32, CALL(hid553_10H_SetLED8StageColor(1, bytes(colours))), {"10 01 18 00 00 00 00 d6"},
     colours, data1},
    {"553 11H", 64, CALL(hid553_11H_SetDPISet(4, bytes(codes))), {"11 04 08 00 00 00 00 e2"}, codes, data1},
    {"553 12H", 32, CALL(hid553_12H_SetKeyMatrix(bytes(matrix), 1)), {"12 01 40 08 00 00 00 a4"}, matrix, data2},
    {"553 13H", 64, CALL(hid553_13H_SetMacroKey(3, bytes(block))), {"13 03 80 00 00 00 00 69"}, block, data2},
    {"553 00H", 32, CALL(hid553_00H_GetSecrecyCode(v[0], v[1], v[2], v[3])), {"00 11 22 33 44 00 00 55"}, {}, {}, 0},
    {"553 83H", 32, CALL(hid553_83H_GetKeyboardoption(v[0], v[1], v[2], v[3])), {"83 00 00 00 00 00 00 7c"}, {}, {},
     0, hex("a1b2c3d4")},
    {"553 8BH", 64, CALL(hid553_8BH_GetCurrentDPI(v[0])), {"8b 00 00 00 00 00 00 74"}, {}, {}, 0, hex("05223344"),
     "cmd Failed 8BH"},
    {"560 01H", 32, CALL(hid560_01H_SetKeyboardoption(0x0a, 0x0b)), {"01 0a 0b 00 00 00 00 e9"}, {}, {8}},
    {"560 02H", 32, CALL(hid560_02H_SetCurrentProfile(2)), {"02 02 00 00 00 00 00 fb"}, {}, {8}},
    {"560 03H", 32, CALL(hid560_03H_SetReportRate(2)), {"03 01 02 00 00 00 00 f9", "03 02 02 00 00 00 00 f8",
     "03 03 02 00 00 00 00 f7", "03 04 02 00 00 00 00 f6"}, {}, four},
    {"560 04H", 32, CALL(hid560_04H_SetCurrentDPI(3)), {"04 01 03 00 00 00 00 f7", "04 02 03 00 00 00 00 f6",
     "04 03 03 00 00 00 00 f5", "04 04 03 00 00 00 00 f4"}, {}, four},
    {"560 04H gun model once", 32, CALL(hid560_04H_SetCurrentDPI(3)), {"04 01 03 00 00 00 00 f7"}, {}, settle, -1,
     hex("11223344"), nullptr, true},
    {"560 0CH", 32, CALL(hid560_0CH_setProfile(bytes(block), 1)), {"0c 01 80 00 00 00 00 72"}, block, data4},
    {"560 0DH pads to 128", 64, CALL(hid560_0DH_SetKeyMatrix(bytes(matrix), 2)), {"0d 02 80 00 00 00 00 70"},
     matrix + QByteArray(64, '\0'), data2},
    {"560 0FH", 32, CALL(hid560_0FH_SetMacroKey(1, bytes(block))), {"0f 01 80 00 00 00 00 6f"}, block, data4},
    {"560 81H", 32, CALL(hid560_81H_GetKeyboardoption(v[0], v[1])), {"81 00 00 00 00 00 00 7e"}, {}, {}, 0,
     hex("0a0b3344")},
    {"560 82H", 32, CALL(hid560_82H_GetCurrentProfile(v[0])), {"82 00 00 00 00 00 00 7d"}, {}, {}, 0, hex("03223344")},
    {"560 84H sends byte1", 32, CALL(hid560_84H_GetCurrentDPI(v[0], v[1])), {"84 11 00 00 00 00 00 6a"}, {}, {}, 0,
     hex("11063344")},
    {"560 8CH length 32", 32, read8C, {"8c 01 00 00 00 00 00 72"}, {}, {}, 4, block, "cmd Failed 8c"},
    {"560 8CH length 64", 64, read8C, {"8c 01 00 00 00 00 00 72"}, {}, {}, 2, block, "cmd Failed 8c"},
};

// Collects what the listener hands over, on the test's own thread (queued), so the worker never
// touches anything the test reads.
struct ListenRecorder : QObject
{
    explicit ListenRecorder(Hid_Thread &hid)
    {
        connect(&hid, &Hid_Thread::dpiStageReported, this, [this](int s) { stages.append(s); },
                Qt::QueuedConnection);
        connect(&hid, &Hid_Thread::deviceRemoved, this, [this] { ++removed; }, Qt::QueuedConnection);
    }
    QList<int> stages;
    int removed = 0;
};

} // namespace

class TestHidProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<Command>("c");
        QTest::addColumn<bool>("enciphered");
        for (const Command &row : commandRows) {
            QTest::addRow("%s", row.tag) << row << false;
            QTest::addRow("%s enciphered", row.tag) << row << true;
        }
    }

    void commands()
    {
        QFETCH(Command, c);
        QFETCH(bool, enciphered);
        HidTestRig rig(mouseConfig(QString::fromLatin1(c.tag, 3), c.reportLength, enciphered), c.isGun);
        VirtualMouseMemory m = rig.mouse.memory();
        m.keyboardOption = hex(c.tag[1] == '5' ? "a1b2c3d4" : "0a0b");
        m.currentDpiStage = c.tag[1] == '5' ? 5 : 6;
        m.currentProfile = 3;
        m.profileBlocks[1] = block;
        rig.mouse.setMemory(m);
        QVERIFY(rig.hid.chkDeviceIsEnCode(0)); // the secrecy code is now the mouse's
        rig.reset();
        QCOMPARE(c.call(rig.hid), c.result);

        // What the mouse sends back is checked by its kind only: its bytes are the mouse's own.
        QStringList expected = sentLines(c.reports, c.out, c.reportLength, enciphered);
        if (c.inputs >= 0)
            expected << QStringLiteral("<- feature 00 ") << QStringList(c.inputs, QStringLiteral("<- input "));
        const QStringList wire = rig.wire();
        QCOMPARE(wire.size(), expected.size());
        for (int i = 0; i < wire.size(); ++i) {
            const bool reply = expected[i].startsWith(QLatin1String("<-"));
            QVERIFY2(reply ? wire[i].startsWith(expected[i]) : wire[i] == expected[i], qPrintable(wire[i]));
        }
        QCOMPARE(rig.clock.sleeps(), c.sleeps);
        QCOMPARE(rig.mouse.protocolErrors(), QStringList());
        QVERIFY(rig.hid.hidReady());

        // With the token taken, the command logs its line after 255 tries of 8 ms and sends nothing
        // (the mouse now holds what it was just told: forgotten, so that the write is tried again).
        rig.hid.forgetDeviceImage();
        rig.hid.setHidReady(false);
        rig.reset();
        const QString code = c.reports[0].left(2).toUpper();
        QTest::ignoreMessage(QtDebugMsg, c.failLine ? c.failLine : qPrintable(QStringLiteral("cmd Failed ") + code));
        c.call(rig.hid);
        QCOMPARE(rig.clock.sleeps(), repeat(8, 255));
        QCOMPARE(rig.mouse.reportCount(), 0);
        QVERIFY(!rig.hid.hidReady());
    }

    // The view redraws itself in the pauses inside an exchange: once in each settle pause and after
    // each data report, never before the command report has gone out, and nothing it does is sent.
    void idleHookRunsInThePauses()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("553")));
        QVERIFY(rig.hid.chkDeviceIsEnCode(0));
        rig.reset();
        QList<int> reportsSeen;
        rig.hid.setIdleHook([&] { reportsSeen << rig.mouse.reportCount(); });
        uchar matrix[64] = {};
        rig.hid.hid553_12H_SetKeyMatrix(matrix, 1);
        // command, settle, data report, data report, settle: 64 bytes in reports of 32
        QCOMPARE(reportsSeen, QList<int>({1, 2, 3, 3}));
        QCOMPARE(rig.mouse.reportCount(), 3);
        QVERIFY(rig.hid.hidReady());
    }

    void failures_data()
    {
        QTest::addColumn<Failure>("f");
        const auto entry = [](void (*change)(DeviceEntry &)) { return [=](HidTestRig &r) { r.setEntry(change); }; };
        const Setup noPath = entry([](DeviceEntry &e) { e.commandPath.clear(); });
        const Setup noLength = entry([](DeviceEntry &e) { e.reportLength = 0; });
        const Setup unplug = [](HidTestRig &rig) { rig.mouse.unplug(); };
        const Setup noReply = [](HidTestRig &rig) { rig.mouse.setNoReply(true); };
        const auto failFrom = [](int n) { return [n](HidTestRig &rig) { rig.mouse.failFromReport(n); }; };
        // A code of the wrong length leaves the last probe's code in place, which is this mouse's.
        const Setup fiveCharacters = [](HidTestRig &rig) {
            rig.hid.chkDeviceIsEnCode(0);
            rig.setEntry([](DeviceEntry &e) { e.sCode = QStringLiteral("58301"); });
        };
        const Setup tokenTaken = [](HidTestRig &rig) {
            rig.hid.setHidReady(false);
            QTest::ignoreMessage(QtDebugMsg, "cmd Failed 00");
        };
        const Call read00 = CALL(hid553_00H_GetSecrecyCode(v[0], v[1], v[2], v[3]));
        const Call read83 = CALL(hid553_83H_GetKeyboardoption(v[0], v[1], v[2], v[3]));
        const Call write12 = CALL(hid553_12H_SetKeyMatrix(bytes(matrix), 1));
        const Call write0C = CALL(hid560_0CH_setProfile(bytes(block), 1));
        // The probe passes only when its exchange completed and the reply echoes the challenge. (A
        // wrong echo and no reply at all: tst_widget, withoutAMouse, "no answer to the challenge" and
        // "silent mouse".)
        const Call probe = [](Hid_Thread &h) { return QByteArray(1, char(h.chkDeviceIsEnCode(0))); };
        const QByteArray kept = hex("11223344"), failed = hex("00");
        const QList<Failure> rows = {
            {"no command path: nothing sent", "553", noPath, read83, kept, 0, true},
            {"unplugged: path emptied", "553", unplug, read83, kept, 0, true},
            {"no reply keeps 83H values", "553", noReply, read83, kept, 1, false},
            {"no reply gives 00H zeros", "553", noReply, read00, QByteArray(4, '\0'), 1, false},
            {"command report refused", "553", failFrom(1), write12, kept, 0, false},
            {"data phase out breaks off", "560", failFrom(3), write0C, kept, 2, false},
            // Command, reply, two of four input reports.
            {"8CH keeps the bytes not received", "560", failFrom(5), read8C,
             factoryBlock1().left(64) + untouched.left(64), 4, false},
            {"report length 0 fails a data phase unsent", "553", noLength, write12, kept, 0, false},
            {"report length 0 fails a block read unsent", "560", noLength, read8C, untouched, 0, false},
            {"report length 0 is no matter without data phase", "553", noLength, CALL(hid553_0BH_SetCurrentDPI(2)),
             kept, 1, false},
            {"probe, wrong code", "553", entry([](DeviceEntry &e) { e.sCode = QStringLiteral("111111"); }), probe,
             failed, 2, false, true},
            {"probe, five characters keep the code", "553", fiveCharacters, probe, hex("01"), 2, false, true},
            {"probe, token taken", "553", tokenTaken, probe, failed, 0, false, false, false},
            // A mouse that stops sending mid-block ends the read after its bound, not never.
            {"8CH stalled read", "560", [](HidTestRig &r) { r.mouse.setStalledReads(true); }, read8C, untouched, 2,
             false, false, true, 1000},
            // hidapi hands over the input reports of an interface without numbered reports without
            // their ID.
            {"8CH input reports without report ID", "560", [](HidTestRig &r) { r.watch(true); }, read8C,
             factoryBlock1(), 6, false},
        };
        for (const Failure &row : rows)
            QTest::newRow(row.tag) << row;
    }

    void failures()
    {
        QFETCH(Failure, f);
        SecrecyCode::setFromSCode(QStringLiteral("ZZZZZZ")); // not the mouse's code
        HidTestRig rig(mouseConfig(QString::fromLatin1(f.family), 32, f.isEncode));
        f.setup(rig);
        rig.reset();
        const qint64 before = rig.clock.nowMs();
        QCOMPARE(f.call(rig.hid), f.result);
        QVERIFY2(f.boundMs < 0 || rig.clock.nowMs() - before == f.boundMs, "not ended at its bound");
        QCOMPARE(rig.mouse.reportCount(), f.reportsCrossed);
        QCOMPARE(rig.hid.deviceTable().at(0).commandPath.isEmpty(), f.commandPathCleared);
        QCOMPARE(rig.hid.hidReady(), f.tokenBack);
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Command), 0);
    }

    // The token is held across an exchange and across the repetitions of 04H: a command started from
    // the events that the second repetition processes fails and leaves its results alone, instead of
    // overwriting the report being sent, and the outer command completes.
    void nestedCommandCannotSlipBetweenRepetitions()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("560")));
        uchar inner = 7;
        bool posted = false;
        rig.mouse.setTraceSink([&](const QString &line) {
            if (!posted && line.contains(QLatin1String("-> feature 00 04 01"))) {
                posted = true;
                QMetaObject::invokeMethod(
                    &rig.hid, [&] { rig.hid.hid560_82H_GetCurrentProfile(inner); }, Qt::QueuedConnection);
            }
        });
        QTest::ignoreMessage(QtDebugMsg, "cmd Failed 82");
        rig.hid.hid560_04H_SetCurrentDPI(3);
        rig.mouse.setTraceSink({});

        QCOMPARE(inner, uchar(7));
        QCOMPARE(rig.wire(), sentLines({"04 01 03 00 00 00 00 f7", "04 02 03 00 00 00 00 f6",
                                        "04 03 03 00 00 00 00 f5", "04 04 03 00 00 00 00 f4"}, {}, 32, false));
        QCOMPARE(rig.clock.sleeps(), settle + repeat(8, 255) + settle + settle + settle);
        QVERIFY(rig.hid.hidReady());
    }

    // Starting sets the family's report bit in the keyboard option and writes the rest back as read.
    // Unplugging ends the loop once; a later start on the emptied event path returns at once, reads
    // nothing and leaves the flag set.
    void listenerUnplug()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("560")));
        VirtualMouseMemory memory = rig.mouse.memory();
        memory.keyboardOption = QByteArray::fromHex("2104");
        rig.mouse.setMemory(memory);
        ListenRecorder recorder(rig.hid);
        rig.hid.startListen(0);
        QCOMPARE(rig.mouse.memory().keyboardOption, QByteArray::fromHex("2904"));
        QVERIFY(rig.mouse.pressDpiButton(2));
        QTRY_COMPARE(recorder.stages, QList<int>{2});
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        rig.mouse.unplug();
        QTRY_COMPARE(recorder.removed, 1);
        rig.hid.waitListenEnded();
        QVERIFY(!rig.hid.isListening());
        QVERIFY(rig.hid.deviceTable().at(0).eventPath.isEmpty());
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        rig.mouse.plugIn();
        rig.reset();
        rig.hid.startListen(0);
        rig.hid.waitListenEnded();
        QVERIFY(rig.hid.isListening());
        QVERIFY(rig.mouse.pressDpiButton(4));
        QCoreApplication::processEvents();
        QCOMPARE(recorder.stages, QList<int>{2});
        QCOMPARE(recorder.removed, 1);
        QVERIFY(!rig.mouse.trace().join('\n').contains(" event "));
    }

    // Only one loop reads the event interface: a new start, a stop and a new table each end the
    // running loop first; nothing is reported once it has ended. Of the reports read, 06 07 x stage
    // becomes a stage; other kinds and short reports are dropped.
    void listenerCycle()
    {
        HidTestRig rig(mouseConfig(QStringLiteral("553")));
        VirtualMouseMemory memory = rig.mouse.memory();
        memory.keyboardOption = QByteArray::fromHex("01020304");
        rig.mouse.setMemory(memory);
        const WatchingBackend &watching = rig.watch();
        ListenRecorder recorder(rig.hid);
        for (int start = 0; start < 3; ++start)
            rig.hid.startListen(0);
        QCOMPARE(rig.mouse.memory().keyboardOption, QByteArray::fromHex("01020344"));
        for (const char *report : {"06070003", "0607ff02", "06080003", "05070003", "060700"})
            QVERIFY(rig.mouse.sendEventReport(QByteArray::fromHex(report)));
        QVERIFY(rig.mouse.pressDpiButton(6));
        QTRY_COMPARE(recorder.stages, (QList<int>{3, 2, 6}));
        QVERIFY(rig.hid.isListening());
        rig.hid.stopListen();
        rig.hid.waitListenEnded();
        QVERIFY(!rig.hid.isListening());
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        rig.hid.startListen(0);
        QVERIFY(rig.mouse.pressDpiButton(1));
        QTRY_COMPARE(recorder.stages, (QList<int>{3, 2, 6, 1}));
        rig.hid.setDeviceTable({rig.mouse.deviceEntry()});
        QVERIFY(!rig.hid.isListening());
        QVERIFY(rig.mouse.pressDpiButton(4));
        QCoreApplication::processEvents();
        QCOMPARE(recorder.stages, (QList<int>{3, 2, 6, 1}));
        QCOMPARE(recorder.removed, 0);
        QCOMPARE(watching.mostOpen(), 1);
        QCOMPARE(rig.mouse.openHandleCount(VirtualMouse::Interface::Event), 0);
        QVERIFY(!rig.hid.deviceTable().at(0).eventPath.isEmpty());
    }

    // Hand-worked vectors; decipher undoes encipher for these. (For every command report of both
    // families and either code: the enciphered rows of commands, which the mouse deciphers and sums.)
    void cipher()
    {
        Hid_Thread hid;
        const std::tuple<QByteArray, QByteArray, QByteArray> vectors[] = { // plain, sCode, enciphered
            {hex("01030000000000fb"), "583014", hex("1605ed001e976407")},
            {hex("f8f9fafbfcfdfeff"), "583014", hex("03a512d5d36443de")},
            {hex("0000000000000000"), QByteArray(6, '\0'), hex("1557d4678516c407")}};
        for (const auto &[plain, code, cipher] : vectors) {
            QByteArray b = plain, secrecy = '\0' + code + '\0';
            hid.USBDataEncryption(bytes(b), bytes(secrecy));
            QCOMPARE(b, cipher);
            hid.USBDataDecipher(bytes(b), bytes(secrecy));
            QCOMPARE(b, plain);
        }
        QVERIFY(SecrecyCode::setFromSCode(QStringLiteral("ABCDEF")));
        for (const char *other : {"12345", "1234567", ""})
            QVERIFY(!SecrecyCode::setFromSCode(QLatin1String(other)));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(SecrecyCode::bytes()), 8), '\0' + QByteArray("ABCDEF") + '\0');
    }
};

QTEST_MAIN(TestHidProtocol)
#include "tst_hid_protocol.moc"
