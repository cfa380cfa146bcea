#include "EvdevKeys.h"
#include "KeyTranslation.h"

#include <QSet>
#include <QTest>

#include <linux/input-event-codes.h>

using namespace KeyTranslation;

class tst_KeyTranslation : public QObject
{
    Q_OBJECT

private slots:
    void tableSizes();
    void everyVirtualKeyHasAUsage();
    void scanCodeToUsage_data();
    void scanCodeToUsage();
    void evdevKeys_data();
    void evdevKeys();
    void keyboardKeysAreDistinct();
    void heldModifiers();
    void xButtons();
};

void tst_KeyTranslation::tableSizes()
{
    const ScanCodeTable scans = buildScanCodeTable();
    QCOMPARE(scans.size(), 105);
    int extended = 0;
    for (auto it = scans.cbegin(); it != scans.cend(); ++it)
        extended += it.key() & 1;
    QCOMPARE(extended, 19);
    QCOMPARE(buildUsageTable(false).size(), 121);
    QCOMPARE(buildUsageTable(true).size(), 121);
}

void tst_KeyTranslation::everyVirtualKeyHasAUsage()
{
    const ScanCodeTable scans = buildScanCodeTable();
    const UsageTable usages = buildUsageTable(false);
    QList<quint8> virtualKeys = scans.values();
    virtualKeys << 0x13 << 0x2C; // Ctrl+Break and Alt+SysRq
    for (quint8 vk : virtualKeys)
        QVERIFY2(usageFor(usages, vk) != 0, qPrintable(QString::number(vk, 16)));
}

void tst_KeyTranslation::scanCodeToUsage_data()
{
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<bool>("altDown");
    QTest::addColumn<int>("usage");

    QTest::newRow("A") << 0x1Eu << false << false << 0x04;
    QTest::newRow("Enter") << 0x1Cu << false << false << 0x28;
    QTest::newRow("keypad Enter") << 0x1Cu << true << false << 0x58;
    QTest::newRow("Pause") << 0x45u << false << false << 0x48;
    QTest::newRow("Num Lock") << 0x45u << true << false << 0x53;
    QTest::newRow("Ctrl+Break") << 0x46u << true << false << 0x48;
    QTest::newRow("Scroll Lock") << 0x46u << false << false << 0x47;
    QTest::newRow("Print Screen") << 0x37u << true << false << 0x46;
    QTest::newRow("keypad *") << 0x37u << false << false << 0x55;
    QTest::newRow("Alt+SysRq") << 0x54u << false << true << 0x46;
    QTest::newRow("SysRq without Alt") << 0x54u << false << false << 0;
    QTest::newRow("left Ctrl") << 0x1Du << false << false << 0xE0;
    QTest::newRow("right Ctrl") << 0x1Du << true << false << 0xE4;
    QTest::newRow("left Alt") << 0x38u << false << true << 0xE2;
    QTest::newRow("right Alt") << 0x38u << true << true << 0xE6;
    QTest::newRow("right Shift") << 0x36u << true << false << 0xE5;
    QTest::newRow("right Shift unflagged") << 0x36u << false << false << 0;
    QTest::newRow("keypad /") << 0x35u << true << false << 0x54;
    QTest::newRow("F23") << 0x6Eu << false << false << 0x72;
    QTest::newRow("ISO extra key") << 0x56u << false << false << 0x64;
    QTest::newRow("unknown scan code") << 0x59u << false << false << 0;
    QTest::newRow("above 255 is unknown") << 0x11Eu << false << false << 0;
}

void tst_KeyTranslation::scanCodeToUsage()
{
    QFETCH(uint, scanCode);
    QFETCH(bool, extended);
    QFETCH(bool, altDown);
    QFETCH(int, usage);
    const quint8 vk = virtualKeyFor(buildScanCodeTable(), scanCode, extended, altDown);
    QCOMPARE(int(usageFor(buildUsageTable(false), vk)), usage);
}

void tst_KeyTranslation::evdevKeys_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("altDown");
    QTest::addColumn<bool>("ctrlDown");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("scanCode");
    QTest::addColumn<bool>("extended");

    QTest::newRow("keypad Enter") << KEY_KPENTER << false << false << true << 0x1C << true;
    QTest::newRow("Num Lock") << KEY_NUMLOCK << false << false << true << 0x45 << true;
    QTest::newRow("Pause") << KEY_PAUSE << false << false << true << 0x45 << false;
    QTest::newRow("Ctrl+Pause is Break") << KEY_PAUSE << false << true << true << 0x46 << true;
    QTest::newRow("Scroll Lock") << KEY_SCROLLLOCK << false << true << true << 0x46 << false;
    QTest::newRow("Print") << KEY_SYSRQ << false << false << true << 0x37 << true;
    QTest::newRow("Alt+Print is SysRq") << KEY_SYSRQ << true << false << true << 0x54 << false;
    QTest::newRow("right Shift") << KEY_RIGHTSHIFT << false << false << true << 0x36 << true;
    QTest::newRow("ISO extra key") << KEY_102ND << false << false << true << 0x56 << false;
    QTest::newRow("F23") << KEY_F23 << false << false << true << 0x6E << false;
    QTest::newRow("no key") << KEY_RESERVED << false << false << false << 0 << false;
    QTest::newRow("mute") << KEY_MUTE << false << false << false << 0 << false;
    QTest::newRow("between F10 and F11") << 84 << false << false << false << 0 << false;
}

void tst_KeyTranslation::evdevKeys()
{
    QFETCH(int, code);
    QFETCH(bool, altDown);
    QFETCH(bool, ctrlDown);
    QFETCH(bool, known);
    QFETCH(int, scanCode);
    QFETCH(bool, extended);
    const auto key = EvdevKeys::setOneKey(code, altDown, ctrlDown);
    QCOMPARE(key.has_value(), known);
    if (known)
        QCOMPARE(*key, (EvdevKeys::SetOneKey{quint8(scanCode), extended}));
}

// Two keys of one keyboard must never report the same usage, or a recorded macro would press the
// wrong key; Pause and Break are the one pair that shares its usage by design.
void tst_KeyTranslation::keyboardKeysAreDistinct()
{
    const ScanCodeTable scans = buildScanCodeTable();
    const UsageTable usages = buildUsageTable(false);
    QHash<int, int> keyOfUsage;
    int reported = 0;
    for (int code = 1; code <= KEY_MAX; ++code) {
        const auto key = EvdevKeys::setOneKey(code, false, false);
        if (!key)
            continue;
        const int usage = usageFor(usages, virtualKeyFor(scans, key->scanCode, key->extended, false));
        if (usage == 0)
            continue;
        ++reported;
        QVERIFY2(!keyOfUsage.contains(usage) || (code == KEY_BREAK && keyOfUsage[usage] == KEY_PAUSE),
                 qPrintable(QStringLiteral("keys %1 and %2 share usage %3")
                                .arg(keyOfUsage.value(usage)).arg(code).arg(usage, 0, 16)));
        keyOfUsage.insert(usage, code);
    }
    // The 104 keys of a full-size keyboard, Break, the ISO extra key and F23, less the right Win
    // key, which the translation does not know.
    QCOMPARE(reported, 106);
}

void tst_KeyTranslation::heldModifiers()
{
    EvdevKeys::HeldModifiers held;
    held.update(KEY_LEFTALT, true);
    held.update(KEY_RIGHTALT, true);
    held.update(KEY_LEFTALT, false);
    QVERIFY(held.alt()); // the right one is still held
    QVERIFY(!held.ctrl());
    held.update(KEY_RIGHTALT, false);
    held.update(KEY_RIGHTCTRL, true);
    held.update(KEY_A, true);
    QVERIFY(!held.alt());
    QVERIFY(held.ctrl());
}

void tst_KeyTranslation::xButtons()
{
    QCOMPARE(mouseCode(*EvdevKeys::buttonForXButton(1)), MouseCodeLeft);
    QCOMPARE(mouseCode(*EvdevKeys::buttonForXButton(2)), MouseCodeMiddle);
    QCOMPARE(mouseCode(*EvdevKeys::buttonForXButton(3)), MouseCodeRight);
    for (int wheelOrOther : {0, 4, 5, 6, 7, 8, 9})
        QVERIFY(!EvdevKeys::buttonForXButton(wheelOrOther));
}

QTEST_APPLESS_MAIN(tst_KeyTranslation)
#include "tst_key_translation.moc"
