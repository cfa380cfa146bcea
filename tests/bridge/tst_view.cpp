// The view against the virtual mouse: what its device slots put in the mouse's memory and the
// commands in the order they cross the wire; and the host's calls into the root document and the
// window controller, with a small stand-in document that records what reaches it.
#include "ProfileStore.h"
#include "Ui_Controler.h"
#include "ViewRig.h"

#include <QApplication>
#include <QQmlContext>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <cmath>
#include <functional>

namespace {

using Memory = VirtualMouseMemory;
using Call = std::function<void(Rig &)>;
using Probe = std::function<QByteArray(const Memory &)>;

// UI values from hex, which may be written in groups.
QVariantList values(const QByteArray &hex)
{
    QVariantList out;
    for (char c : QByteArray::fromHex(hex))
        out << int(uchar(c));
    return out;
}

// A key matrix with entry k set; by default one of plain entries.
QVariantList matrixWith(int k, const QByteArray &entry, QVariantList m = values(QByteArray(128, '0')))
{
    for (int i = 0; i < 4; ++i)
        m[4 * k + i] = values(entry)[i];
    return m;
}

// Parts of the mouse's memory.
Probe field(QByteArray Memory::*f) { return [f](const Memory &m) { return m.*f; }; }
Probe part(QList<QByteArray> Memory::*f, int n, int from, int len = -1)
{
    return [=](const Memory &m) { return (m.*f).value(n).mid(from, len); };
}
Probe block(int n, int from, int len) { return part(&Memory::profileBlocks, n, from, len); }

// The gun key (entry 6) set to fire over `gunSlots` gun slots, over the firmware entry 07 11 02 33.
Call gunKey(int gunSlots)
{
    return [gunSlots](Rig &r) {
        const QVariantList firmwareEntry{7, 0x11, 2, QStringLiteral("51")};
        r.view->profiles().setDataList(QStringLiteral("mouseFwKeyMatrix/6"), firmwareEntry);
        const QByteArray entry = "08 00 0" + QByteArray::number(gunSlots) + " 00";
        r.view->mouseSetKeyMatrix(matrixWith(6, entry), true, {40, 50, 0x13C});
    };
}
// Entry 6 of matrices 1 to 4; the fire entries of the three gun slots in matrices 2 to 4 over the
// firmware matrix; a 560's gun byte in block 0.
QByteArray gunBytes(const Memory &m)
{
    const auto matrix = [&m](int n, int from, int len) { return m.keyMatrices.value(n - 1).mid(from, len); };
    return matrix(1, 24, 4) + matrix(2, 24, 4) + matrix(3, 24, 4) + matrix(4, 24, 4) + matrix(2, 0, 8)
           + matrix(3, 0, 4) + matrix(4, 0, 4) + matrix(4, 28, 4) + m.profileBlocks.value(0).mid(2, 1);
}

// is560, isGun, isColorful
const Model k553{}, k553Gun{false, true}, k553Colourful{false, false, true};
const Model k560{true}, k560Gun{true, true, true};

void row(const char *tag, const Model &model, const Call &call, const QStringList &sent,
         const Probe &probe = {}, const QByteArray &expected = {})
{
    QTest::newRow(tag) << model << call << sent << probe << QByteArray::fromHex(expected).toHex(' ');
}

} // namespace

Q_DECLARE_METATYPE(Model)
Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(Probe)

class tst_View : public QObject
{
    Q_OBJECT

public:
    // The stand-in document reports each root call here.
    Q_INVOKABLE void note(const QString &call)
    {
        m_calls << call;
        m_offGuiThread = m_offGuiThread || QThread::currentThread() != qApp->thread();
    }

private slots:
    void deviceSlots_data();
    void deviceSlots();
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_ctl.setUp(&m_window, nullptr, m_dir.path());
        view()->rootContext()->setContextProperty(QStringLiteral("recorder"), this);
        view()->setSource(QUrl::fromLocalFile(QStringLiteral(BRIDGE_TEST_DATA "/RootCalls.qml")));
        QVERIFY(view()->rootObject());
    }
    void init() { m_calls.clear(); }

    void rootCalls()
    {
        // Queued calls arrive after the caller returned.
        view()->initUI();
        view()->runUI();
        QVERIFY(m_calls.isEmpty());
        QTRY_COMPARE(m_calls, QStringList({"initUI", "run"}));

        // Direct calls arrive before they return, also through the controller and from the
        // document itself; setCurrentDPI from a worker thread runs on the GUI thread.
        m_calls.clear();
        view()->setBusy(250);
        view()->callRoot("busyFromDocument", Qt::DirectConnection);
        view()->callRoot("busyFromDocumentFor", Qt::DirectConnection, {300});
        QStringList expected{"setProtectUI 250", "setProtectUI 0", "setProtectUI 300"};
        QCOMPARE(m_calls, expected);
        std::unique_ptr<QThread> worker(QThread::create([this] { view()->setCurrentDPI(3); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        expected << QStringLiteral("setCurrentDPI 3");
        QTRY_COMPARE(m_calls, expected);
        QVERIFY(!m_offGuiThread);

        // Functions the document lacks, and a view without a document, are harmless.
        m_calls.clear();
        QVERIFY(!view()->callRoot("detectKeyboard", Qt::QueuedConnection, {true, 4}));
        QVERIFY(!view()->callRoot("noSuchFunction", Qt::DirectConnection));
        view()->openUpdateExe();
        myQQuickView bare(nullptr, m_dir.path());
        bare.initUI();
        bare.setBusy(10);
        bare.setCurrentDPI(2);
        QVERIFY(!bare.callRoot("initUI", Qt::DirectConnection));
        QCoreApplication::processEvents();
        QVERIFY(m_calls.isEmpty());
    }

    // While the event loop is held the view shows a frame it rendered itself; once the view renders
    // through the event loop again, or is unlocked, its live picture is back. A hidden view renders
    // nothing.
    void lockedViewDrawsItself()
    {
        view()->setEnabled(false);
        view()->repaintNow();
        QVERIFY(!view()->findChild<QWidget *>(QStringLiteral("frozenFrame")));
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        view()->repaintNow();
        auto *frame = view()->findChild<QWidget *>(QStringLiteral("frozenFrame"));
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->geometry(), view()->rect());
        view()->setEnabled(true);
        QVERIFY(!frame->isVisible());
        view()->setEnabled(false);
        view()->repaintNow();
        QVERIFY(frame->isVisible());
        view()->callRoot("initUI", Qt::DirectConnection);   // the document changes: a new frame
        QTRY_VERIFY(!frame->isVisible());
        m_window.hide();
    }

    // Without a window the controller does nothing. (tst_e2e_main moves, minimises and closes the
    // real window through it.)
    void controllerWithoutWindow()
    {
        Ui_Controler idle;
        idle.onXChanged(3);
        idle.onMinimize();
        idle.onClose();
        idle.setBusy();
    }

private:
    myQQuickView *view() { return m_ctl.view(); }

    QTemporaryDir m_dir;
    QStringList m_calls;
    bool m_offGuiThread = false;
    QWidget m_window;
    Ui_Controler m_ctl;
};

// One row per slot call: the model, the call, the commands it must send in order, and a part of
// the mouse's memory afterwards.
void tst_View::deviceSlots_data()
{
    QTest::addColumn<Model>("model");
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<Probe>("probe");
    QTest::addColumn<QByteArray>("expected");

    // Sensor codes at their bounds; on a 553 the listed stages past the count are off and the
    // stages beyond the list keep 0.
    row("553 3360, list past 8", k553,
        [](Rig &r) { r.view->mouseSetDpi(4, "3360", {0, 150, 400, 3200, 4, 5, 6, 7, 8, 9}); }, {"11 04"},
        field(&Memory::dpiStageCodes), "ff 00 03 1f 80 80 80 80");
    row("553 3050", k553, [](Rig &r) {
            r.view->mouseSetDpi(8, "3050", {-5, 250, 251, 1000, 1001, QStringLiteral("2200"), 4000.0,
                                            4001});
        }, {"11 08"}, field(&Memory::dpiStageCodes), "01 01 02 04 05 45 48 00");
    row("553 4090", k553,
        [](Rig &r) { r.view->mouseSetDpi(5, "4090", {100, 5000, 5001, 6000, 1000000, 400}); }, {"11 05"},
        field(&Memory::dpiStageCodes), "00 31 59 5e c8 80 00 00");
    row("553 unnamed sensor", k553, [](Rig &r) { r.view->mouseSetDpi(2, "PMW", {6000, 800}); },
        {"11 02"}, field(&Memory::dpiStageCodes), "5e 07 00 00 00 00 00 00");
    row("560 3389 high range", k560, [](Rig &r) {
            r.view->mouseSetDpi(3, "3389", {400, 12800, 12750});
            // The other device profiles change in the view's image only.
            QCOMPARE(r.view->profileBlocks[2][100], uchar(0x07));
            QVERIFY(r.mouse->memory().profileBlocks.value(2).at(100) != 0x07);
        }, {"0c 01"}, block(1, 82, 19), "02 02 08 00 ff 00 00 00 00 00 08 00 ff 00 00 00 00 00 07");
    row("560 gun, count past 8", k560Gun,
        [](Rig &r) { r.view->mouseSetDpi(40, "3360", QVariantList(8, 400)); },
        {"0c 01", "0c 02", "0c 03", "0c 04"},
        [](const Memory &m) { return block(1, 96, 5)(m) + block(4, 96, 5)(m); },
        "03 03 03 03 ff 03 03 03 03 ff");
    // What the store hands back are texts, a macro index too.
    row("553 stored texts", k553, [](Rig &r) {
            r.view->mouseSetDpi(2, "3050", r.view->getDataList(QStringLiteral("mouse/dpiValueArray"), false));
            QVERIFY(r.view->mouseSendMacroData({0x10, 0x20, 0x30}, QStringLiteral("11")).toBool());
        }, {"11 02", "13 0c"}, [](const Memory &m) { return m.dpiStageCodes + m.macros.value(12).mid(0, 4); },
        "02 04 80 80 80 80 80 80 10 20 30 00");

    // Lighting; steps outside a table give 0.
    row("553 effect colourful", k553Colourful, [](Rig &r) { r.view->mouseSetRGBEffect(5, 9, 9); },
        {"0d 05"}, field(&Memory::ledEffect), "05 00 00");
    row("560 effect plain one profile", k560, [](Rig &r) { r.view->mouseSetRGBEffect(1, 2, 0); },
        {"0c 01"}, block(1, 71, 3), "02 03 03");
    row("560 effect colourful gun", k560Gun, [](Rig &r) { r.view->mouseSetRGBEffect(5, 1, 3); },
        {"0c 01", "0c 02", "0c 03", "0c 04"}, block(3, 71, 3), "05 c0 07");

    QVariantList colours;
    for (int i = 1; i <= 30; ++i)
        colours << i;
    row("553 colours twice, 24 of 30", k553, [=](Rig &r) { r.view->mouseSetRGBColor(1, colours); },
        {"10 01", "10 01"}, [](const Memory &m) { return m.ledColors.right(3); }, "16 17 18");

    // A 560 keeps two option bytes under its own codes (its 03H is the report rate); a profile block
    // outside 0 to 4 and gun data on a model without the gun functions send nothing.
    row("553 options, stage, matrix", k553, [](Rig &r) {
            r.view->mouseSetKeyboardoption(1, 2, 3, 0x44);
            QCOMPARE(r.view->GetKeyboardoption(), QVariantList({1, 2, 3, 0x44}));
            r.view->mouseSetCurrentDPI(3);
            QCOMPARE(r.view->mouseGetCurrentDPI().toInt(), 3);
            r.view->mouseSwitchKeyMatrix(1);
            r.view->mouseSendGundata(1, {1, 2, 3});
        }, {"03 01", "83 00", "0b 03", "8b 00", "02 00"}, field(&Memory::keyboardOption),
        "01 02 03 44");
    row("560 options, stage, profile, matrix", k560, [](Rig &r) {
            r.view->mouseSetKeyboardoption(1, 2, 3, 4);
            QCOMPARE(r.view->GetKeyboardoption(), QVariantList({1, 2, 0, 0}));
            r.view->mouseSetCurrentDPI(2);
            QCOMPARE(r.view->mouseGetCurrentDPI().toInt(), 2);
            QCOMPARE(r.view->mouseReadCurrentProfile().toInt(), int(r.mouse->memory().currentProfile));
            r.view->mouseSwitchKeyMatrix(1);
            r.view->mouseSetProfile(5);
            r.view->mouseReadProfile(uint(-1));
            r.view->mouseSetProfile(4); // as read at connect: the mouse holds it, nothing is sent
        }, {"01 01", "81 00", "04 01", "04 02", "04 03", "04 04", "84 01", "82 00", "02 01"},
        [](const Memory &m) { return m.keyboardOption + char(m.reportRate); }, "01 02 01");
    row("553 reset matrices", k553, [](Rig &r) { r.view->mouseResetKeyMatrix(); },
        {"12 02", "12 03", "12 04"}, part(&Memory::keyMatrices, 3, 28, 4), "0a f0 1e 02");

    // One entry per class and rule: button, double fire, 1e without 02, fire, combination, media,
    // macro, macro slot 255, DPI+, sniper, browser, desktop, shortcut, 21 02 of another class, a
    // macro that becomes 21 02 once counted up, fixed.
    const QVariantList ui = values("0000f000 00f01e02 00001e01 01040a00 02030405 0300e900 04020b00 0400ff00"
                                   "05000100 05330444 06009401 0600e307 0700e011 02002102 04002002 ff000100");
    const QByteArray device = "0100f000 0af01e02 01001e01 0a040a00 00030405 0300e900 09020c00 09000000"
                              "07000100 SNIPER 03009401 0000e307 0000e011 03002102 03002102 04000100";
    row("553 key matrix", k553, [=](Rig &r) { r.view->mouseSetKeyMatrix(ui, true, {10, 20, 30}); },
        {"12 01"}, part(&Memory::keyMatrices, 0, 0), QByteArray(device).replace("SNIPER", "07000401"));
    row("560 key matrix", k560, [=](Rig &r) { r.view->mouseSetKeyMatrix(ui, true, {}); }, {"0d 01"},
        part(&Memory::keyMatrices, 0, 0), QByteArray(device).replace("SNIPER", "0b000101"));

    // A gun key over one to three slots fills matrices 2 to 4 and, on a 560, the gun byte of block 0
    // (07 as the mouse starts), written first unless the mouse holds it already; both end on matrix 1.
    const QStringList to553{"12 01", "12 02", "12 03", "12 04", "02 01"};
    const QStringList to560{"0d 01", "0d 02", "0d 03", "0d 04", "02 01"};
    const QByteArray fire = " 0b002800 0100f100 0b013200 0b023c00 0af01e02";
    row("553 gun 1", k553Gun, gunKey(1), to553, gunBytes, "08000101 08000100 08000100 08000100" + fire + "07");
    row("553 gun 2", k553Gun, gunKey(2), to553, gunBytes, "08000101 08000102 08000100 08000100" + fire + "07");
    row("553 gun 3", k553Gun, gunKey(3), to553, gunBytes, "08000101 08000102 08000103 08000100" + fire + "07");
    row("553 gun 4", k553Gun, gunKey(4), to553, gunBytes, "08000100 08000133 08000133 08000133" + fire + "07");
    row("560 gun 1", k560Gun, gunKey(1), to560, gunBytes, "08000100 08110033 08110033 08110033" + fire + "07");
    row("560 gun 2", k560Gun, gunKey(2), QStringList("0c 00") + to560, gunBytes,
        "08000100 08110333 08110033 08110033" + fire + "0f");
    row("560 gun 3", k560Gun, gunKey(3), QStringList("0c 00") + to560, gunBytes,
        "08000100 08110333 08110333 08110033" + fire + "1f");
    row("560 gun 0", k560Gun, gunKey(0), to560, gunBytes, "08000000 08110233 08110233 08110233" + fire + "07");

    // Macro bytes take what they can from any value and fill the rest with 0; a macro index
    // outside 0 to 11 sends nothing rather than reaching another slot.
    QVariantList macro;
    for (int i = 0; i < 200; ++i)
        macro << i;
    row("553 macro 0, others out of range", k553, [=](Rig &r) {
            const QVariantList indices{0, 12, 256, -1, QStringLiteral("x"), QVariant()};
            for (const QVariant &index : indices)
                QVERIFY(r.view->mouseSendMacroData(macro, index).toBool());
        }, {"13 01"}, [](const Memory &m) { return m.macros.value(1).mid(126); }, "7e 7f");
    row("560 macro 11, odd values", k560, [](Rig &r) {
            r.view->mouseSendMacroData({0x1F0, -4, 2.9, -2.9, 1e300, std::nan(""), QStringLiteral(" 240 "),
                                        QStringLiteral("3.7"), QStringLiteral("abc"), QVariant(), true,
                                        quint64(0xFFFFFFFFFFFFFF05ull), QVariantList{1, 2}},
                                       QStringLiteral("11"));
        }, {"0f 0c"}, [](const Memory &m) { return m.macros.value(12).mid(0, 14); },
        "f0 fc 02 fe 00 00 f0 03 00 00 01 05 00 00");
    // The key page sends the stored texts back with the changed entries as numbers: a macro goes out
    // with its number counted from 1, a gun key of two slots as four matrices.
    row("553 gun key matrix from stored texts", k553Gun, [](Rig &r) {
            QVariantList src;
            for (int k = 0; k < 16; ++k)
                src += r.view->mouseGetKeydefine(k, false);
            r.view->mouseSetKeyMatrix(matrixWith(6, "08000200", matrixWith(3, "04000300", src)), true,
                                      {40, QStringLiteral("50"), 316});
            QCOMPARE(r.view->mouseGetKeydefine(3, false), QVariantList({"4", "0", "3", "0"}));
        }, {"12 01", "12 02", "12 03", "12 04", "02 01"}, [](const Memory &m) {
            return m.keyMatrices.value(0).mid(0, 4) + m.keyMatrices.value(0).mid(12, 4)
                   + m.keyMatrices.value(2).mid(0, 4) + m.keyMatrices.value(3).mid(0, 4);
        }, "01 00 f0 00 09 00 04 00 0b 01 32 00 0b 02 3c 00");
    // Y is negated while the third keyboard option byte is set.
    row("553 gun data", k553Gun, [](Rig &r) {
            r.view->mouseSetKeyboardoption(0, 0, 1, 0);
            r.view->mouseSendGundata(2, {5, 3, 4});
            QVERIFY(r.mouse->trace().last().endsWith(QLatin1String("00 04 00 05 03 fc 01 00 f6")));
            r.view->mouseSetKeyboardoption(0, 0, 0, 0);
            r.view->mouseSendGundata(3, {5, 3, 4});
        }, {"03 00", "83 00", "04 00", "03 00", "83 00", "04 00"},
        [](const Memory &m) { return m.gunSlots.value(1) + m.gunSlots.value(2); }, "05 03 fc 05 03 04");
    row("560 gun data, slots 1 to 3 only", k560Gun, [](Rig &r) {
            r.view->profileBlocks[3][65] = 0xFF;
            r.view->mouseSendGundata(4, {1});
            r.view->mouseSendGundata(0, {1});
            r.view->mouseSendGundata(2, {5, 3, -4});
        }, {"0c 03"}, [](const Memory &m) { return block(3, 65, 1)(m) + block(3, 78, 4)(m); },
        "fb f0 05 03 fc");
    // The store keeps the UI's values untranslated, whether or not anything is sent; entry 2 is
    // cut after its second value. Without a device object nothing is sent and nothing breaks; the
    // key matrix still reaches the store.
    row("560 key matrix stored, then no device object", k560Gun, [](Rig &r) {
            QVariantList src = values("01000000 05330444 ff01");
            src[0] = QStringLiteral(" 1 ");
            r.view->mouseSetKeyMatrix(src, false, {});
            QCOMPARE(r.view->mouseGetKeydefine(0, false), QVariantList({"1", "0", "0", "0"}));
            QCOMPARE(r.view->mouseGetKeydefine(1, false), QVariantList({"5", "51", "4", "68"}));
            QCOMPARE(r.view->mouseGetKeydefine(2, false), QVariantList({"255", "1", "0", "0"}));
            QCOMPARE(r.view->mouseGetKeydefine(QStringLiteral("15"), false), QVariantList(4, "0"));
            // The factory profile keeps its values; an absent key reads as an empty list.
            QCOMPARE(r.view->mouseGetKeydefine(3, true), QVariantList({"0", "0", "244", "0"}));
            QVERIFY(r.view->mouseGetKeydefine(20, false).isEmpty());
            r.view->hid = nullptr;
            r.view->mouseSetDpi(4, "3360", {400});
            r.view->mouseSetRGBEffect(0, 0, 0);
            r.view->mouseSetRGBColor(0, {1});
            r.view->mouseSetKeyMatrix(matrixWith(6, "08 00 02 00"), true, {});
            r.view->mouseSendGundata(1, {1, 2, 3});
            r.view->mouseResetKeyMatrix();
            QCOMPARE(r.view->mouseGetCurrentDPI().toInt(), 0);
            QCOMPARE(r.view->GetKeyboardoption(), QVariantList({0, 0, 0, 0}));
            QVERIFY(r.view->mouseSendMacroData({}, 0).toBool());
            QCOMPARE(r.view->mouseGetKeydefine(6, false), QVariantList({"8", "0", "2", "0"}));
        }, {});
}

void tst_View::deviceSlots()
{
    QFETCH(Model, model);
    QFETCH(Call, call);
    QFETCH(QStringList, sent);
    QFETCH(Probe, probe);
    QFETCH(QByteArray, expected);
    Rig rig(model);
    call(rig);
    QCOMPARE(rig.commands(), sent);
    if (probe)
        QCOMPARE(probe(rig.mouse->memory()).toHex(' '), expected);
    QCOMPARE(rig.mouse->protocolErrors(), QStringList());
}

QTEST_MAIN(tst_View)
#include "tst_view.moc"
