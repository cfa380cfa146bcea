// The view's device slots against the virtual mouse: what reaches its memory, and the commands in
// the order they cross the wire.
#include "ProfileStore.h"
#include "ViewRig.h"

#include <QStandardPaths>
#include <QTest>

#include <functional>

namespace {

QByteArray hex(const QByteArray &bytes, int from, int n)
{
    return bytes.mid(from, n).toHex(' ');
}

QVariantList ints(std::initializer_list<int> values)
{
    QVariantList out;
    for (int v : values)
        out << v;
    return out;
}

QStringList texts(const QVariantList &values)
{
    QStringList out;
    for (const QVariant &v : values)
        out << v.toString();
    return out;
}

// The shipped factory matrix with entries changed: {k, "tt aa bb cc"}.
QVariantList uiMatrix(const QList<QPair<int, QByteArray>> &changes = {})
{
    QVariantList m = ints({0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0,
                           0, 0, 0xF3, 0, 5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2,
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0});
    for (const auto &c : changes) {
        const QByteArray b = QByteArray::fromHex(c.second);
        for (int i = 0; i < 4; ++i)
            m[4 * c.first + i] = int(uchar(b[i]));
    }
    return m;
}

const Model k553{false, false, false, false};
const Model k553Gun{false, true, false, false};
const Model k560{true, false, false, false};
const Model k560Gun{true, true, true, false};

} // namespace

Q_DECLARE_METATYPE(Model)
using Check = std::function<void(Rig &)>;
Q_DECLARE_METATYPE(Check)

class tst_ViewMouse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void deviceSlots_data();
    void deviceSlots();
    void keyMatrixStoresUntranslated();
    void gunMatrices_data();
    void gunMatrices();
    void withoutDevice();
};

// One row per slot call: the model, the call, the commands it must send in order, and a check of
// the mouse's memory afterwards.
void tst_ViewMouse::deviceSlots_data()
{
    QTest::addColumn<Model>("model");
    QTest::addColumn<Check>("call");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<Check>("after");
    const Check nothing = [](Rig &) {};

    QTest::newRow("553 dpi 3360") << k553
        << Check([](Rig &r) { r.view->mouseSetDpi(4, "3360", ints({400, 800, 1600, 3200, 400, 400, 400, 400})); })
        << QStringList{"11 04"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().dpiStageCodes.toHex(' '), QByteArray("03 07 0f 1f 80 80 80 80")); });
    QTest::newRow("553 dpi short list") << k553
        << Check([](Rig &r) { r.view->mouseSetDpi(1, "3050", {QStringLiteral("2200"), 4001.0}); })
        << QStringList{"11 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().dpiStageCodes.toHex(' '), QByteArray("45 80 00 00 00 00 00 00")); });
    QTest::newRow("560 dpi 3389 without gun") << k560
        << Check([](Rig &r) { r.view->mouseSetDpi(3, "3389", ints({400, 12800, 12750})); })
        << QStringList{"0c 01"}
        << Check([](Rig &r) {
               QCOMPARE(hex(r.block(1), 82, 19), QByteArray("02 02 08 00 ff 00 00 00 00 00 08 00 ff 00 00 00 00 00 07"));
               // The other device profiles change in the view's image only.
               const myQQuickView::ProfileBlock &image = r.view->profileBlocks[2];
               QCOMPARE(image[100], uchar(0x07));
               QVERIFY(r.block(2) != QByteArray(reinterpret_cast<const char *>(image.data()), 128));
           });
    QTest::newRow("560 dpi gun") << k560Gun
        << Check([](Rig &r) { r.view->mouseSetDpi(8, "3360", ints({400, 800, 1600, 3200, 400, 400, 400, 400})); })
        << QStringList{"0c 01", "0c 02", "0c 03", "0c 04"}
        << Check([](Rig &r) {
               for (int n = 1; n <= 4; ++n)
                   QCOMPARE(hex(r.block(n), 96, 5), QByteArray("03 03 03 03 ff"));
           });

    QTest::newRow("553 effect colourful") << Model{false, false, true, false}
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(0, 2, 2); }) << QStringList{"0d 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().ledEffect.toHex(' '), QByteArray("01 80 00")); });
    QTest::newRow("553 effect plain") << k553
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(0, 2, 2); }) << QStringList{"0d 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().ledEffect.toHex(' '), QByteArray("01 05 02")); });
    QTest::newRow("553 effect 55328") << Model{false, false, false, true}
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(4, 1, 0); }) << QStringList{"0d 02"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().ledEffect.toHex(' '), QByteArray("02 02 03")); });
    QTest::newRow("560 effect plain one profile") << k560
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(1, 2, 0); }) << QStringList{"0c 01"}
        << Check([](Rig &r) { QCOMPARE(hex(r.block(1), 71, 3), QByteArray("02 03 03")); });
    QTest::newRow("560 effect plain gun") << Model{true, true, false, false}
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(1, 2, 0); })
        << QStringList{"0c 01", "0c 02", "0c 03", "0c 04"}
        << Check([](Rig &r) { QCOMPARE(hex(r.block(4), 71, 3), QByteArray("02 03 02")); });
    QTest::newRow("560 effect colourful gun") << k560Gun
        << Check([](Rig &r) { r.view->mouseSetRGBEffect(5, 1, 3); })
        << QStringList{"0c 01", "0c 02", "0c 03", "0c 04"}
        << Check([](Rig &r) { QCOMPARE(hex(r.block(3), 71, 3), QByteArray("05 c0 07")); });

    QVariantList colours;
    for (int i = 1; i <= 30; ++i)
        colours << i;
    QVariantList noEighth = colours.mid(0, 21);
    QTest::newRow("553 colours twice, 24 of 30") << k553
        << Check([=](Rig &r) { r.view->mouseSetRGBColor(1, colours); }) << QStringList{"10 01", "10 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().ledColors.toHex(' ').right(8), QByteArray("16 17 18")); });
    QTest::newRow("55328 eighth colour") << Model{false, false, false, true}
        << Check([=](Rig &r) { r.view->mouseSetRGBColor(1, colours); }) << QStringList{"10 00"} << nothing;
    QTest::newRow("55328 fixed colour") << Model{false, false, false, true}
        << Check([=](Rig &r) { r.view->mouseSetRGBColor(1, noEighth); }) << QStringList{"0c 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().fixLedColor.toHex(' '), QByteArray("01 02 03")); });
    QTest::newRow("560 colours plain") << k560
        << Check([=](Rig &r) { r.view->mouseSetRGBColor(0, colours); }) << QStringList{"0c 01"}
        << Check([](Rig &r) { QCOMPARE(hex(r.block(1), 125, 3), QByteArray("16 17 18")); });
    QTest::newRow("560 colours colourful") << k560Gun
        << Check([=](Rig &r) { r.view->mouseSetRGBColor(0, colours); }) << QStringList{"0c 00"}
        << Check([](Rig &r) { QCOMPARE(hex(r.block(0), 24, 3), QByteArray("01 02 03")); });

    QTest::newRow("553 report rate") << k553 << Check([](Rig &r) { r.view->mouseSetReportRate(3); })
        << QStringList{"01 03"} << Check([](Rig &r) { QCOMPARE(int(r.mouse->memory().reportRate), 3); });
    QTest::newRow("560 current dpi") << k560 << Check([](Rig &r) { r.view->mouseSetCurrentDPI(2); })
        << QStringList{"04 01", "04 02", "04 03", "04 04"}
        << Check([](Rig &r) { QCOMPARE(int(r.mouse->memory().currentDpiStage), 2); });
    QTest::newRow("553 get dpi") << k553
        << Check([](Rig &r) { r.view->mouseSetCurrentDPI(3); QCOMPARE(r.view->mouseGetCurrentDPI().toInt(), 3); })
        << QStringList{"0b 03", "8b 00"} << nothing;
    QTest::newRow("560 get dpi") << k560
        << Check([](Rig &r) { QCOMPARE(r.view->mouseGetCurrentDPI().toInt(), int(r.mouse->memory().currentDpiStage)); })
        << QStringList{"84 01"} << nothing;
    QTest::newRow("560 keyboard option") << k560
        << Check([](Rig &r) {
               r.view->mouseSetKeyboardoption(1, 2, 3, 4);
               QCOMPARE(r.view->GetKeyboardoption(), ints({1, 2, 0, 0}));
           })
        << QStringList{"01 01", "81 00"} << nothing;
    QTest::newRow("553 keyboard option") << k553
        << Check([](Rig &r) {
               r.view->mouseSetKeyboardoption(1, 2, 3, 0x44);
               QCOMPARE(r.view->GetKeyboardoption(), ints({1, 2, 3, 0x44}));
           })
        << QStringList{"03 01", "83 00"} << nothing;
    QTest::newRow("560 profile in use") << k560
        << Check([](Rig &r) { QCOMPARE(r.view->mouseReadCurrentProfile().toInt(), int(r.mouse->memory().currentProfile)); })
        << QStringList{"82 00"} << nothing;
    QTest::newRow("profile block out of range") << k560
        << Check([](Rig &r) { r.view->mouseSetProfile(5); r.view->mouseReadProfile(uint(-1)); r.view->mouseSetProfile(4); })
        << QStringList{"0c 04"} << nothing;
    QTest::newRow("553 switch matrix") << k553 << Check([](Rig &r) { r.view->mouseSwitchKeyMatrix(1); })
        << QStringList{"02 00"} << nothing;
    QTest::newRow("560 switch matrix") << k560 << Check([](Rig &r) { r.view->mouseSwitchKeyMatrix(1); })
        << QStringList{"02 01"} << nothing;
    QTest::newRow("553 reset matrices") << k553 << Check([](Rig &r) { r.view->mouseResetKeyMatrix(); })
        << QStringList{"12 02", "12 03", "12 04"}
        << Check([](Rig &r) { QCOMPARE(hex(r.matrix(4), 28, 4), QByteArray("0a f0 1e 02")); });

    QTest::newRow("553 key matrix") << k553
        << Check([](Rig &r) {
               r.view->mouseSetKeyMatrix(uiMatrix({{5, "05 00 04 00"}, {3, "04 00 03 00"}, {8, "06 00 94 01"},
                                                   {9, "06 00 23 02"}, {10, "06 00 21 02"}, {11, "06 04 2c 1b"}}),
                                         true, ints({10, 20, 30}));
           })
        << QStringList{"12 01"}
        << Check([](Rig &r) {
               QCOMPARE(hex(r.matrix(1), 0, 48),
                        QByteArray("01 00 f0 00 01 00 f1 00 01 00 f2 00 09 00 04 00 01 00 f3 00 07 00 04 01 "
                                   "07 00 02 00 0a f0 1e 02 03 00 94 01 03 00 23 02 03 00 21 02 00 04 2c 1b"));
           });
    QTest::newRow("560 key matrix") << k560
        << Check([](Rig &r) { r.view->mouseSetKeyMatrix(uiMatrix({{5, "05 00 04 00"}}), true, {}); })
        << QStringList{"0d 01"}
        << Check([](Rig &r) { QCOMPARE(hex(r.matrix(1), 20, 4), QByteArray("0b 00 01 01")); });

    QVariantList macro;
    for (int i = 0; i < 200; ++i)
        macro << i;
    QTest::newRow("553 macro 0") << k553 << Check([=](Rig &r) { QVERIFY(r.view->mouseSendMacroData(macro, 0).toBool()); })
        << QStringList{"13 01"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().macros.value(1).size(), 128); QCOMPARE(uchar(r.mouse->memory().macros.value(1).at(127)), uchar(127)); });
    QTest::newRow("560 macro 11") << k560 << Check([=](Rig &r) { r.view->mouseSendMacroData(macro.mid(0, 3), QStringLiteral("11")); })
        << QStringList{"0f 0c"}
        << Check([](Rig &r) { QCOMPARE(hex(r.mouse->memory().macros.value(12), 0, 4), QByteArray("00 01 02 00")); });
    QTest::newRow("macro 12") << k553 << Check([=](Rig &r) { QVERIFY(r.view->mouseSendMacroData(macro, 12).toBool()); })
        << QStringList{} << nothing;

    QTest::newRow("553 gun data negated") << k553Gun
        << Check([](Rig &r) { r.view->mouseSetKeyboardoption(0, 0, 1, 0); r.view->mouseSendGundata(2, ints({5, 3, 4})); })
        << QStringList{"03 00", "83 00", "04 00"}
        << Check([](Rig &r) {
               QCOMPARE(r.mouse->memory().gunSlots.value(1).toHex(' '), QByteArray("05 03 fc"));
               QVERIFY(r.mouse->trace().last().endsWith(QLatin1String("00 04 00 05 03 fc 01 00 f6")));
           });
    QTest::newRow("553 gun data plain") << k553Gun
        << Check([](Rig &r) { r.view->mouseSetKeyboardoption(0, 0, 0, 0); r.view->mouseSendGundata(3, ints({5, 3, 4})); })
        << QStringList{"03 00", "83 00", "04 00"}
        << Check([](Rig &r) { QCOMPARE(r.mouse->memory().gunSlots.value(2).toHex(' '), QByteArray("05 03 04")); });
    QTest::newRow("560 gun data") << k560Gun
        << Check([](Rig &r) { r.view->profileBlocks[3][65] = 0xFF; r.view->mouseSendGundata(2, ints({5, 3, -4})); })
        << QStringList{"0c 03"}
        << Check([](Rig &r) {
               QCOMPARE(hex(r.block(3), 78, 4), QByteArray("f0 05 03 fc"));
               QCOMPARE(uchar(r.block(3).at(65)), uchar(0xFB));
           });
    QTest::newRow("gun data out of range") << k560Gun
        << Check([](Rig &r) { r.view->mouseSendGundata(4, ints({1})); r.view->mouseSendGundata(0, ints({1})); })
        << QStringList{} << nothing;
    QTest::newRow("gun data without gun") << k553
        << Check([](Rig &r) { r.view->mouseSendGundata(1, ints({1, 2, 3})); }) << QStringList{} << nothing;
}

void tst_ViewMouse::deviceSlots()
{
    QFETCH(Model, model);
    QFETCH(Check, call);
    QFETCH(QStringList, sent);
    QFETCH(Check, after);
    Rig rig(model);
    call(rig);
    QCOMPARE(rig.commands(), sent);
    after(rig);
    QCOMPARE(rig.mouse->protocolErrors(), QStringList());
}

void tst_ViewMouse::keyMatrixStoresUntranslated()
{
    Rig rig(k553);
    QVariantList src = uiMatrix({{3, "04 00 03 00"}}).mid(0, 14);
    src[0] = QStringLiteral("0");
    rig.view->mouseSetKeyMatrix(src, false, {});
    QVERIFY(rig.commands().isEmpty());
    // Entry 3 is cut after its second value.
    QCOMPARE(texts(rig.view->mouseGetKeydefine(3, false)), QStringList({"4", "0", "0", "0"}));
    QCOMPARE(texts(rig.view->mouseGetKeydefine(QStringLiteral("15"), false)), QStringList({"0", "0", "0", "0"}));
    // The factory profile keeps its values; an absent key reads as an empty list.
    QCOMPARE(texts(rig.view->mouseGetKeydefine(3, true)), QStringList({"0", "0", "244", "0"}));
    QVERIFY(rig.view->mouseGetKeydefine(20, false).isEmpty());
}

void tst_ViewMouse::gunMatrices_data()
{
    QTest::addColumn<Model>("model");
    QTest::addColumn<int>("gunSlots");
    QTest::addColumn<QStringList>("gunEntry"); // entry 6 of matrices 1 to 4
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("block0");           // byte 2 of block 0, -1 on a 553
    const QStringList order553{"12 01", "12 02", "12 03", "12 04", "02 01"};
    const QStringList order560{"0c 00", "0d 01", "0d 02", "0d 03", "0d 04", "02 01"};
    // The firmware entry 6 is 07 11 02 33.
    QTest::newRow("553 s1") << k553Gun << 1 << QStringList{"08 00 01 01", "08 00 01 00", "08 00 01 00", "08 00 01 00"} << order553 << -1;
    QTest::newRow("553 s2") << k553Gun << 2 << QStringList{"08 00 01 01", "08 00 01 02", "08 00 01 00", "08 00 01 00"} << order553 << -1;
    QTest::newRow("553 s3") << k553Gun << 3 << QStringList{"08 00 01 01", "08 00 01 02", "08 00 01 03", "08 00 01 00"} << order553 << -1;
    QTest::newRow("553 s4") << k553Gun << 4 << QStringList{"08 00 01 00", "08 00 01 33", "08 00 01 33", "08 00 01 33"} << order553 << -1;
    QTest::newRow("560 s1") << k560Gun << 1 << QStringList{"08 00 01 00", "08 11 00 33", "08 11 00 33", "08 11 00 33"} << order560 << 0x07;
    QTest::newRow("560 s2") << k560Gun << 2 << QStringList{"08 00 01 00", "08 11 03 33", "08 11 00 33", "08 11 00 33"} << order560 << 0x0F;
    QTest::newRow("560 s3") << k560Gun << 3 << QStringList{"08 00 01 00", "08 11 03 33", "08 11 03 33", "08 11 00 33"} << order560 << 0x1F;
    QTest::newRow("560 s0") << k560Gun << 0 << QStringList{"08 00 00 00", "08 11 02 33", "08 11 02 33", "08 11 02 33"} << order560 << -1;
}

void tst_ViewMouse::gunMatrices()
{
    QFETCH(Model, model);
    QFETCH(int, gunSlots);
    QFETCH(QStringList, gunEntry);
    QFETCH(QStringList, sent);
    QFETCH(int, block0);
    Rig rig(model);
    rig.view->profiles().setDataList(QStringLiteral("mouseFwKeyMatrix/6"), {7, 0x11, 2, QStringLiteral("51")});
    const QByteArray oldBlock0 = rig.block(0);
    rig.view->mouseSetKeyMatrix(uiMatrix({{6, QByteArray("08 00 0") + QByteArray::number(gunSlots) + " 00"}}),
                                true, ints({40, 50, 0x13C}));
    QCOMPARE(rig.commands(), sent);
    QCOMPARE(rig.mouse->protocolErrors(), QStringList());
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(QString::fromLatin1(hex(rig.matrix(n), 24, 4)), gunEntry[n - 1]);
    // Matrices 2 to 4 are the firmware matrix with the fire entries of the three gun slots.
    QCOMPARE(hex(rig.matrix(2), 0, 8), QByteArray("0b 00 28 00 01 00 f1 00"));
    QCOMPARE(hex(rig.matrix(3), 0, 4), QByteArray("0b 01 32 00"));
    QCOMPARE(hex(rig.matrix(4), 0, 4), QByteArray("0b 02 3c 00"));
    QCOMPARE(hex(rig.matrix(4), 28, 4), QByteArray("0a f0 1e 02"));
    if (model.is560) {
        QByteArray expected = oldBlock0;
        if (block0 >= 0)
            expected[2] = char(block0);
        QCOMPARE(rig.block(0).toHex(' '), expected.toHex(' '));
    }
}

void tst_ViewMouse::withoutDevice()
{
    // No device object: nothing is sent and nothing breaks; the key matrix still reaches the store.
    Rig rig(k560Gun);
    rig.view->hid = nullptr;
    rig.view->mouseSetDpi(4, "3360", ints({400}));
    rig.view->mouseSetRGBEffect(0, 0, 0);
    rig.view->mouseSetRGBColor(0, ints({1}));
    rig.view->mouseSetKeyMatrix(uiMatrix({{6, "08 00 02 00"}}), true, {});
    rig.view->mouseSendGundata(1, ints({1, 2, 3}));
    rig.view->mouseResetKeyMatrix();
    QCOMPARE(rig.view->mouseGetCurrentDPI().toInt(), 0);
    QCOMPARE(rig.view->GetKeyboardoption(), ints({0, 0, 0, 0}));
    QVERIFY(rig.view->mouseSendMacroData({}, 0).toBool());
    QVERIFY(rig.mouse->trace().isEmpty());
    QCOMPARE(texts(rig.view->mouseGetKeydefine(6, false)), QStringList({"8", "0", "2", "0"}));
}

QTEST_MAIN(tst_ViewMouse)
#include "tst_view_mouse.moc"
