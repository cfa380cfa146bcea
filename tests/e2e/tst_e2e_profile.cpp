// Profiles in the real demo, used as a user would: a profile created on the profile page, one of
// its DPI stages changed and saved, the top-right drop-down switching back and forth, the profile
// exported and imported again through the file dialog. After every switch the virtual mouse must
// hold the chosen profile's DPI stages and the configuration its number. The gun page and the
// profile page are photographed.
#include "DemoDriver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Window positions: the profile page (415 × 288) opens centred at 304, 176; the gun page
// (640 × 448) at 192, 96.
constexpr QPoint configButton{808, 620};
constexpr QPoint saveButton{968, 620};
constexpr QPoint profileOrigin{304, 176};
constexpr QPoint newButton = profileOrigin + QPoint{48, 261};
constexpr QPoint importButton = profileOrigin + QPoint{120, 261};
constexpr QPoint profileClose = profileOrigin + QPoint{391, 20};
constexpr QPoint firstProfileRow = profileOrigin + QPoint{80, 57 + 13};
constexpr int profileRowHeight = 27;
constexpr QPoint dropDownHead{820, 24};
constexpr int dropDownRowHeight = 24;
constexpr QPoint gunEditorEntry{140, 431};
constexpr QPoint gunOrigin{192, 96};
constexpr QPoint gunClose = gunOrigin + QPoint{616, 20};
constexpr QPoint akmRow = gunOrigin + QPoint{140, 168};
// DPI stage 2's knob at 800 DPI, dragged up to 3800 (range 200 … 12000 by 100).
constexpr QPoint stage2Knob{864, 256};
constexpr int dpiDrag = 40;

const QString config = QStringLiteral("setting/apConfig.bin");
const QString fileChosen = QStringLiteral("profile.pf");

const QList<int> factoryDpi{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
const QList<int> changedDpi{400, 3800, 1600, 3200, 4800, 6400, 8000, 12000};

} // namespace

class tst_E2eProfile : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;
    QTemporaryDir m_files; // where the file dialog's answer lives

    // The window looks still while an exchange holds the event loop, so a step is over only
    // when no report has crossed for a while as well (the protocol's longest gap is 128 ms).
    bool settle()
    {
        int seen = -1;
        QElapsedTimer quiet;
        const bool wireQuiet = DemoDriver::pollUntil([&] {
            const int now = m_demo.traceCount();
            if (now != seen) {
                seen = now;
                quiet.start();
            }
            return quiet.elapsed() > 600;
        }, 30000);
        return wireQuiet && m_demo.waitForIdle();
    }
    void clickAndSettle(QPoint at, int button = 1)
    {
        m_demo.click(at.x(), at.y(), button);
        QVERIFY(settle());
    }
    QStringList profileNames() const
    {
        return m_demo.storedValue(QStringLiteral("setting/name.bin"),
                                  QStringLiteral("profile/profileName")).toStringList();
    }
    int storedProfileNo() const
    {
        return m_demo.storedValue(config, QStringLiteral("mouse/profileNo")).toInt();
    }
    // Chooses row `row` of the top-right drop-down and waits until the mouse has taken it.
    void switchTo(int row, const QList<int> &dpi)
    {
        clickAndSettle(dropDownHead);
        clickAndSettle(dropDownHead + QPoint(0, dropDownRowHeight * (row + 1)));
        QTRY_COMPARE(DemoDriver::dpiCodes(m_demo.memory()), DemoDriver::dpiCodesFor(dpi));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY2(m_demo.start({QStringLiteral("--choose-file"), m_files.filePath(fileChosen)}),
                 qPrintable(m_demo.error()));
        QVERIFY(settle());
    }

    void createChangeAndSwitch()
    {
        clickAndSettle(configButton);
        clickAndSettle(newButton);
        QCOMPARE(profileNames(), QStringList({"Standard0", "profile_01"}));
        QVERIFY(!m_demo.screenshot(QStringLiteral("profile-page")).isEmpty());
        clickAndSettle(profileClose);

        switchTo(1, factoryDpi);
        QCOMPARE(storedProfileNo(), 1);

        m_demo.drag(stage2Knob, stage2Knob - QPoint(0, dpiDrag));
        QVERIFY(settle());
        clickAndSettle(saveButton);
        QTRY_COMPARE(DemoDriver::dpiCodes(m_demo.memory()), DemoDriver::dpiCodesFor(changedDpi));
        QCOMPARE(m_demo.storedValue(QStringLiteral("setting/p2.bin"),
                                    QStringLiteral("mouse/dpiValueArray")).toStringList().at(1),
                 QStringLiteral("3800"));
        QCOMPARE(m_demo.storedValue(QStringLiteral("setting/p1.bin"),
                                    QStringLiteral("mouse/dpiValueArray")).toStringList().at(1),
                 QStringLiteral("800"));

        switchTo(0, factoryDpi);
        QCOMPARE(storedProfileNo(), 0);
        switchTo(1, changedDpi);
        QCOMPARE(storedProfileNo(), 1);
    }

    // Export writes the profile in use although the standard row was right-clicked; the import
    // makes a third profile of it, which brings the changed stage back when chosen.
    void exportAndImport()
    {
        clickAndSettle(configButton);
        clickAndSettle(firstProfileRow, 3);
        clickAndSettle(firstProfileRow + QPoint(30, 36));
        const QString exported = m_files.filePath(fileChosen);
        QTRY_VERIFY(QFile::exists(exported));
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QFile active(m_demo.dataDir() + QStringLiteral("/setting/p2.bin"));
        QVERIFY(active.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), active.readAll());

        clickAndSettle(importButton);
        QCOMPARE(profileNames(), QStringList({"Standard0", "profile_01", "profile_12"}));
        QFile imported(m_demo.dataDir() + QStringLiteral("/setting/p3.bin"));
        QVERIFY(imported.open(QIODevice::ReadOnly));
        file.seek(0);
        QCOMPARE(imported.readAll(), file.readAll());
        clickAndSettle(profileClose);

        switchTo(0, factoryDpi);
        switchTo(2, changedDpi);
        QCOMPARE(storedProfileNo(), 2);
    }

    void gunPage()
    {
        clickAndSettle(gunEditorEntry);
        clickAndSettle(akmRow);
        QCOMPARE(m_demo.storedValue(config, QStringLiteral("mouse/selectGun")).toStringList(),
                 QStringList({"1", "1", "2"}));
        QVERIFY(!m_demo.screenshot(QStringLiteral("gun-page")).isEmpty());
        clickAndSettle(gunClose);
        // Slot 1's gun (times, X, Y of "AKM") in device profile 2.
        const QJsonArray block = m_demo.memory().value(QLatin1String("profileBlocks")).toArray().at(2).toArray();
        const QStringList akm = m_demo.storedValue(QStringLiteral("gun/gunData.bin"),
                                                   QStringLiteral("gunData/1")).toStringList();
        QCOMPARE(akm.value(0), QStringLiteral("AKM"));
        QCOMPARE(block.at(79).toInt(), akm.value(5).toInt());
        QCOMPARE(block.at(81).toInt(), akm.value(4).toInt());
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eProfile)
#include "tst_e2e_profile.moc"
