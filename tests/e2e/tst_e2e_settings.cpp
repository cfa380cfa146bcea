// Settings in the real demo, used as a user would on one start: a profile created on the profile page
// and chosen in the top-right drop-down; there a DPI knob dragged, a lighting effect and a colour
// picked, Save pressed; the profiles switched back and forth, exported and imported through the file
// dialog; a gun chosen. The virtual mouse (a 560 gun model with colour lighting) must hold after
// every step what the profile in use says, and the profile files the values chosen.
#include "DemoDriver.h"

#include <QFile>
#include <QTest>

namespace {

// Window positions. The right panel: the DPI block at 768, 56, the lighting block 8 below it. The
// profile page (415 × 288) opens centred at 304, 176; the gun page (640 × 448) at 192, 96.
constexpr QPoint stage2Knob{864, 256}; // stage 2 at 800 DPI; 40 up is 3800 in 200 … 12000 by 100
constexpr QPoint effectHead{908, 340};
constexpr QPoint breathRow{870, 388};   // second row of the opened effect list
constexpr QPoint colour2{863, 437};     // colour square 2, orange 255, 128, 0: knob at 15
constexpr QPoint colourKnob{808, 462};  // the knob's centre over bar position 15; 45 right is green
constexpr QPoint saveButton{968, 620};
constexpr QPoint configButton{808, 620};
constexpr QPoint newProfile{352, 437};
constexpr QPoint importProfile{424, 437};
constexpr QPoint profileClose{695, 196};
constexpr QPoint firstProfileRow{384, 246};
constexpr QPoint dropDownHead{820, 24}; // rows 24 high below it
constexpr QPoint gunEditorEntry{140, 431};
constexpr QPoint akmRow{332, 264};
constexpr QPoint gunClose{808, 116};

const QString config = QStringLiteral("setting/apConfig.bin");
const QString dpiKey = QStringLiteral("mouse/dpiValueArray");
const QList<int> factoryDpi{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
const QList<int> changedDpi{400, 3800, 1600, 3200, 4800, 6400, 8000, 12000};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_E2eSettings : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;
    QTemporaryDir m_files; // where the file dialog's answer lives

    QList<int> stored(const QString &file, const QString &key)
    {
        QList<int> out;
        for (const QString &text : m_demo.storedValue(file, key).toStringList())
            out << text.trimmed().toInt();
        return out;
    }
    QList<int> block(int index, int from, int count)
    {
        return m_demo.memoryBytes({QStringLiteral("profileBlocks"), QString::number(index)}, from, count);
    }
    // Chooses row `row` of the top-right drop-down: the mouse takes its stages, the configuration its number.
    void switchTo(int row, const QList<int> &dpi)
    {
        QVERIFY(m_demo.click(dropDownHead));
        QVERIFY(m_demo.click(dropDownHead + QPoint(0, 24 * (row + 1))));
        QTRY_COMPARE(m_demo.dpiCodes(), DemoDriver::dpiCodesFor(dpi));
        QTRY_COMPARE(m_demo.storedValue(config, QStringLiteral("mouse/profileNo")).toInt(), row);
    }
    QStringList profileNames()
    {
        return m_demo.storedValue(QStringLiteral("setting/name.bin"), QStringLiteral("profile/profileName")).toStringList();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY2(m_demo.start({QStringLiteral("--choose-file"), m_files.filePath(QStringLiteral("profile.pf"))}),
                 qPrintable(m_demo.error()));
    }

    void perfSettingsReachTheProfileInUse()
    {
        QVERIFY(m_demo.click(configButton));
        QVERIFY(m_demo.click(newProfile));
        QTRY_COMPARE(profileNames(), QStringList({"Standard0", "profile_01"}));
        QVERIFY(m_demo.click(profileClose));
        switchTo(1, factoryDpi);

        QVERIFY(m_demo.drag(stage2Knob, stage2Knob - QPoint(0, 40)));
        QVERIFY(m_demo.click(effectHead));
        QVERIFY(m_demo.click(breathRow));
        QVERIFY(m_demo.click(colour2));
        QVERIFY(m_demo.drag(colourKnob, colourKnob + QPoint(45, 0)));
        QCOMPARE(block(1, 84, 2), QList<int>({0x03, 0x07})); // nothing has gone to the mouse before Save
        m_demo.click(saveButton, 1, false);
        // Save sends DPI, effect and colours in turn, the colours last: red, green, yellow.
        QTRY_COMPARE_WITH_TIMEOUT(block(0, 24, 9), QList<int>({255, 0, 0, 0, 255, 0, 255, 255, 0}), 30000);
        QVERIFY(m_demo.waitForIdle());
        // DPI codes (value / 100 − 1 on the 3360 sensor) and the mask of the eight stages, and "Breath"
        // (code 3) with the slowest speed (10) it was reset to, in every device profile.
        QCOMPARE(m_demo.dpiCodes(), DemoDriver::dpiCodesFor(changedDpi));
        for (int b = 1; b <= 4; ++b) {
            QCOMPARE(block(b, 100, 1), QList<int>({0x0f}));
            QCOMPARE(block(b, 71, 3), QList<int>({0x03, 0, 10}));
        }
        QCOMPARE(stored(QStringLiteral("setting/p2.bin"), dpiKey), changedDpi);
        QCOMPARE(stored(QStringLiteral("setting/p2.bin"), QStringLiteral("mouse/lightValue")), QList<int>({1, 0, 4}));
        QCOMPARE(stored(QStringLiteral("setting/p2.bin"), QStringLiteral("mouse/colorValue")).mid(3, 3),
                 QList<int>({0, 255, 0}));
        QCOMPARE(stored(QStringLiteral("setting/p1.bin"), dpiKey), factoryDpi);
    }

    void profilesSwitchExportAndImport()
    {
        switchTo(0, factoryDpi);
        switchTo(1, changedDpi);
        // Export writes the profile in use although the standard row was right-clicked; the import
        // makes a third profile of it, which brings the changed stage back when chosen.
        QVERIFY(m_demo.click(configButton));
        QVERIFY(m_demo.click(firstProfileRow, 3));
        QVERIFY(m_demo.click(firstProfileRow + QPoint(30, 36)));
        const QString exported = m_files.filePath(QStringLiteral("profile.pf"));
        QTRY_COMPARE(contents(exported), contents(m_demo.dataDir() + QStringLiteral("/setting/p2.bin")));
        QVERIFY(m_demo.click(importProfile));
        QTRY_COMPARE(profileNames(), QStringList({"Standard0", "profile_01", "profile_12"}));
        QCOMPARE(contents(m_demo.dataDir() + QStringLiteral("/setting/p3.bin")), contents(exported));
        QVERIFY(m_demo.click(profileClose));
        switchTo(0, factoryDpi);
        switchTo(2, changedDpi);
    }

    void gunChoiceReachesTheMouse()
    {
        QVERIFY(m_demo.click(gunEditorEntry));
        QVERIFY(m_demo.click(akmRow));
        QTRY_COMPARE(m_demo.storedValue(config, QStringLiteral("mouse/selectGun")).toStringList(),
                     QStringList({"1", "1", "2"}));
        QVERIFY(m_demo.click(gunClose));
        // Slot 1's gun (times, X, Y of "AKM") in device profile 2.
        const QStringList akm = m_demo.storedValue(QStringLiteral("gun/gunData.bin"), QStringLiteral("gunData/1")).toStringList();
        QCOMPARE(akm.value(0), QStringLiteral("AKM"));
        QTRY_COMPARE(block(2, 79, 1), QList<int>{akm.value(5).toInt()});
        QCOMPARE(block(2, 81, 1), QList<int>{akm.value(4).toInt()});
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eSettings)
#include "tst_e2e_settings.moc"
