// The real demo driven as a user would: the window dragged, Save, Reset and the ask menu clicked with
// XTEST, the mouse's DPI button pressed, the window hidden and brought back by a second start. Each
// step is checked where it lands: the reports on the wire, the stored profile, the mouse's memory,
// the picture. CTest runs it on the bare X server and, with KO_E2E_WAYLAND=1, as a Wayland client
// of a Weston in that display.
#include "DemoDriver.h"

#include <QFile>
#include <QTest>

namespace {

// The bottom bar, 24 from the right and 8 from the bottom: 64 × 24 buttons 16 apart (Config, Reset,
// Save); the spot inside Save clear of its text shows its colour.
const QPoint saveButton(968, 620);
const QPoint saveFill(940, 611);
const QPoint resetButton(888, 620);
// The reset confirmation (427 × 102) opens centred: OK 12 from its right edge, Cancel 7 left of it,
// under a black title strip on a colorGray0 body.
const QRect confirmBox(298, 269, 427, 102);
const QPoint okButton(669, 344);
const QPoint cancelButton(574, 344);
// Top right: ask, minimise and close, 16 × 16 and 16 apart. The ask menu hangs 300 from the right
// edge at y 30, 200 wide, one 24-high row per entry inside a 1-pixel border; the second is the version.
const QPoint askButton(928, 24);
const QRect askMenu(524, 30, 200, 50);
const QPoint versionRow(623, 67);
const QPoint dpiStage1Knob(826, 265); // at the foot of its upright slider in the right panel
const QPoint restingPlace(700, 600);  // over the background: no hover effect on the pictures

const QString profile = QStringLiteral("setting/p1.bin"); // profile number 0
const QString dpiKey = QStringLiteral("mouse/dpiValueArray");
const QStringList seededDpi{"500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"};

constexpr QRgb saveBlue = 0x09347f; // nothing unsaved
constexpr QRgb saveRed = 0xff3030;  // unsaved changes

} // namespace

class tst_E2eMain : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    // The window once the pointer rests on the background and nothing moves.
    QImage settled()
    {
        return m_demo.moveTo(restingPlace) ? m_demo.grab() : QImage();
    }
    QRgb pixel(QPoint at) { return settled().pixel(at) & 0xffffff; }
    QStringList storedDpi(const QString &file = profile)
    {
        QStringList out;
        for (const QString &v : m_demo.storedValue(file, dpiKey).toStringList())
            out << v.trimmed();
        return out;
    }
    QByteArray profileBytes()
    {
        QFile file(m_demo.dataDir() + QLatin1Char('/') + profile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        // The profile in use differs from the factory profile, so that the reset has work to do.
        QVERIFY2(m_demo.prepare(), qPrintable(m_demo.error()));
        QVERIFY(m_demo.setStoredValue(profile, dpiKey, seededDpi));
        if (!m_demo.start() && m_demo.compositorMissing())
            QSKIP(qPrintable(m_demo.error()));
        QVERIFY2(m_demo.isRunning(), qPrintable(m_demo.error()));
    }

    void startsAndMovesWithTheBackground()
    {
        QCOMPARE(m_demo.windowRect().size(), DemoDriver::windowSize);
        // The handshake went out enciphered and came back; the mouse's memory is being kept.
        QVERIFY(m_demo.traceLines().size() >= 2);
        QVERIFY(m_demo.traceLines().first().contains(QLatin1String(" -> feature 00 ")));
        QVERIFY(!m_demo.memory().isEmpty());
        const QImage look = settled();
        const QRect before = m_demo.windowRect();
        const QSize screen = m_demo.grabScreen().size();
        // Towards the middle of the screen, so that the window stays on it.
        const QPoint way(before.center().x() < screen.width() / 2 ? 60 : -60,
                         before.center().y() < screen.height() / 2 ? 40 : -40);
        QVERIFY(m_demo.dragWindow(restingPlace, restingPlace + way));
        QCOMPARE(m_demo.windowRect(), before.translated(way));
        // The screen shows the window, unchanged, where it was taken.
        QCOMPARE(settled(), look);
        QCOMPARE(m_demo.grabScreen().copy(m_demo.windowRect()), look);
    }

    void saveSendsAndStoresOnlyAChange()
    {
        const QByteArray stored = profileBytes();
        int mark = m_demo.traceCount();
        QVERIFY(m_demo.click(saveButton));
        QCOMPARE(m_demo.traceLines(mark), QStringList());
        QCOMPARE(profileBytes(), stored);
        QCOMPARE(pixel(saveFill), saveBlue);

        const QJsonObject memoryBefore = m_demo.memory();
        QVERIFY(m_demo.drag(dpiStage1Knob, dpiStage1Knob - QPoint(0, 60)));
        const QImage unsaved = settled();
        QCOMPARE(unsaved.pixel(saveFill) & 0xffffff, saveRed);
        QCOMPARE(storedDpi(), seededDpi); // not stored before Save

        mark = m_demo.traceCount();
        m_demo.click(saveButton, 1, false);
        // While the mouse is written the view draws the busy notice over its middle itself, as the
        // event loop is held.
        const QRect middle(472, 280, 80, 80);
        QVERIFY(DemoDriver::pollUntil([&] { return m_demo.grab().copy(middle) != unsaved.copy(middle); }));
        QVERIFY(m_demo.waitForIdle());
        const QStringList dpi = storedDpi();
        QCOMPARE(dpi.size(), 8);
        QVERIFY2(dpi[0].toInt() > seededDpi[0].toInt(), qPrintable(dpi.join(QLatin1Char(','))));
        QCOMPARE(dpi.mid(1), seededDpi.mid(1));
        // A 560 mouse takes DPI values in its profile blocks.
        QVERIFY(m_demo.commands(mark).contains(QStringLiteral("0c")));
        QVERIFY(m_demo.memory()[QLatin1String("profileBlocks")] != memoryBefore[QLatin1String("profileBlocks")]);
        QCOMPARE(pixel(saveFill), saveBlue);
    }

    void dpiButtonShowsTheStageAndMovesTheMark()
    {
        const QImage before = settled();
        const int notices = m_demo.notices().size();
        QVERIFY(m_demo.pressDpiButton(3));
        QTRY_COMPARE(m_demo.memory()[QLatin1String("currentDpiStage")].toInt(), 3);
        QTRY_COMPARE(m_demo.notices(notices).size(), 1);
        QCOMPARE(m_demo.notices(notices).first().trimmed(), QStringLiteral("DPI Switch to 3"));
        const QRect dpiBlock(768, 56, 232, 256); // the right panel marks the new stage
        QVERIFY(settled().copy(dpiBlock) != before.copy(dpiBlock));
    }

    void resetAsksAndRestoresTheFactoryProfile()
    {
        const QImage before = settled();
        const QByteArray stored = profileBytes();
        const QStringList factory = storedDpi(QStringLiteral("setting/pD.bin"));
        QCOMPARE(factory.size(), 8);
        QVERIFY(storedDpi() != factory);
        const QJsonObject memoryBefore = m_demo.memory();
        int mark = m_demo.traceCount();

        // Cancelled, it changes nothing.
        QVERIFY(m_demo.click(resetButton));
        const QImage asking = settled();
        QCOMPARE(asking.pixel(confirmBox.topLeft() + QPoint(400, 15)) & 0xffffff, 0x000000u);
        QCOMPARE(asking.pixel(confirmBox.bottomLeft() + QPoint(4, -4)) & 0xffffff, 0x1a1a1au);
        QVERIFY(m_demo.click(cancelButton));
        QCOMPARE(settled(), before);
        QCOMPARE(m_demo.traceLines(mark), QStringList());
        QCOMPARE(profileBytes(), stored);

        // Confirmed: every page sent its factory values, the key matrix was reset, stage 2 made current.
        QVERIFY(m_demo.click(resetButton));
        m_demo.click(okButton, 1, false);
        QTRY_COMPARE(storedDpi(), factory);
        QVERIFY(m_demo.waitForIdle());
        const QStringList sent = m_demo.commands(mark);
        for (const char *code : {"0c", "0d", "04"})
            QVERIFY2(sent.contains(QLatin1String(code)), qPrintable(sent.join(QLatin1Char(' '))));
        QCOMPARE(m_demo.memory()[QLatin1String("currentDpiStage")].toInt(), 2);
        QVERIFY(m_demo.memory()[QLatin1String("profileBlocks")] != memoryBefore[QLatin1String("profileBlocks")]);
        QVERIFY(settled().copy(confirmBox) != asking.copy(confirmBox));
    }

    void askMenuOpensAndCloses()
    {
        const QImage before = settled();
        const int mark = m_demo.traceCount();
        QVERIFY(m_demo.click(askButton));
        const QImage open = settled();
        QCOMPARE(open.pixel(askMenu.topLeft() + QPoint(0, 10)) & 0xffffff, 0x3c3c3cu);   // border
        QCOMPARE(open.pixel(askMenu.topRight() + QPoint(-2, 10)) & 0xffffff, 0x1a1a1au); // row
        // The version row does nothing but close the menu.
        QVERIFY(m_demo.click(versionRow));
        QCOMPARE(settled(), before);
        QCOMPARE(m_demo.traceLines(mark), QStringList());
    }

    void windowButtonHidesAndASecondStartBringsItBack_data()
    {
        QTest::addColumn<QPoint>("button");
        QTest::newRow("minimise") << QPoint(960, 24);
        QTest::newRow("close") << QPoint(992, 24);
    }
    void windowButtonHidesAndASecondStartBringsItBack()
    {
        QFETCH(QPoint, button);
        const QImage before = settled();
        m_demo.click(button, 1, false);
        // A bare X server has no one to minimise a window; Wayland's compositor does it.
        if (QTest::currentDataTag() == QLatin1String("close") || DemoDriver::onWayland())
            QVERIFY(m_demo.waitForWindow(false));
        QVERIFY(m_demo.startAgain() >= 0); // ended by itself, having handed over
        QVERIFY(m_demo.waitForWindow());
        QCOMPARE(settled(), before);
    }

    void cleanupTestCase()
    {
        // Quits as through the tray: a clean exit, nothing left running.
        if (!m_demo.compositorMissing())
            QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eMain)
#include "tst_e2e_main.moc"
