// The real demo on an X display, driven as a user would: the window dragged, the main window's Save,
// Reset and ask-menu buttons clicked with XTEST, the mouse's DPI button pressed. CTest runs it twice:
// on the bare X server, and with KO_E2E_WAYLAND=1 as a Wayland client of a Weston in that display. Each step is checked where it lands: the
// reports on the wire, the stored profile, the mouse's memory; each state is photographed.
#include "DemoDriver.h"

#include <QJsonArray>
#include <QTest>

namespace {

// Window positions of the main screen. The bottom bar is anchored 24 from the right and 8 from the
// bottom: three 64 × 24 buttons 16 apart (Config, Reset, Save).
const QPoint saveButton(1024 - 24 - 32, 640 - 8 - 12);
// Inside the Save button, clear of its text: where its colour shows.
const QPoint saveButtonFill(saveButton.x() - 28, saveButton.y() - 9);
const QPoint resetButton(saveButton.x() - 80, saveButton.y());
// The reset confirmation, 427 × 102, opens centred; OK (88 × 25) is 12 from its right edge and
// Cancel 7 left of it, their tops 6 below the question under the 30-high title strip.
const QRect confirmBox((1024 - 427) / 2, (640 - 102) / 2, 427, 102);
const QPoint okButton(confirmBox.right() + 1 - 12 - 44, confirmBox.top() + 75);
const QPoint cancelButton(okButton.x() - 88 - 7, okButton.y());
// Top right: ask, minimise and close, 16 × 16 and 16 apart from x 920, y 16. The ask menu hangs 300
// from the right edge at y 30, 200 wide, one 24-high row per entry inside a 1-pixel border.
const QPoint askButton(928, 24);
const QPoint minimiseButton(960, 24);
const QPoint closeButton(992, 24);
const QRect askMenu(1024 - 300 - 200, 30, 200, 2 * 24 + 2);
const QPoint versionRow(askMenu.center().x(), askMenu.top() + 1 + 24 + 12);
// The knob of DPI stage 1 at the foot of its upright slider in the right panel.
const QPoint dpiStage1Knob(826, 265);
// Over the background, clear of every control, so no hover effect is left on the pictures.
const QPoint restingPlace(700, 600);

const QString profile = QStringLiteral("setting/p1.bin"); // profile number 0
const QStringList seededDpi{"500", "1000", "1500", "2000", "3000", "4000", "5000", "6000"};

QStringList storedList(DemoDriver &demo, const QString &file, const QString &key)
{
    QStringList out;
    for (const QString &v : demo.storedValue(file, key).toStringList())
        out << v.trimmed();
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList codes(const QStringList &commands)
{
    QStringList out;
    for (const QString &c : commands)
        out << c.left(2);
    out.removeDuplicates();
    return out;
}

} // namespace

class tst_E2eMain : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    // The screen as it stands once the pointer rests on the background and nothing moves.
    QImage settled()
    {
        m_demo.moveTo(restingPlace.x(), restingPlace.y());
        if (!m_demo.waitForIdle())
            return {};
        return m_demo.grab();
    }

    static QRgb pixel(const QImage &image, QPoint p) { return image.pixel(p) & 0xffffff; }

private slots:
    void initTestCase()
    {
        // The profile in use differs from the factory profile, so that the reset has work to do.
        QVERIFY2(m_demo.prepare(), qPrintable(m_demo.error()));
        QVERIFY(m_demo.setStoredValue(profile, QStringLiteral("mouse/dpiValueArray"), seededDpi));
        if (!m_demo.start() && m_demo.compositorMissing())
            QSKIP(qPrintable(m_demo.error()));
        QVERIFY2(m_demo.isRunning(), qPrintable(m_demo.error()));
    }

    void mainWindowOpensAtItsSizeAndIsDrawn()
    {
        QCOMPARE(m_demo.windowRect().size(), QSize(1024, 640));
        // The handshake went out enciphered and came back; the mouse's memory is being kept.
        QTRY_VERIFY(m_demo.traceLines().size() >= 2);
        QVERIFY(m_demo.traceLines().first().contains(QLatin1String(" -> feature 00 ")));
        QVERIFY(!m_demo.memory().isEmpty());
        QVERIFY(!settled().isNull());
        QVERIFY(!m_demo.screenshot(QStringLiteral("main")).isEmpty());
    }

    void draggingTheBackgroundMovesTheWindow()
    {
        const QImage look = settled();
        const QRect before = m_demo.windowRect();
        const QSize screen = m_demo.grabScreen().size();
        // Towards the middle of the screen, so that the window stays on it.
        const QPoint way(before.center().x() < screen.width() / 2 ? 60 : -60,
                         before.center().y() < screen.height() / 2 ? 40 : -40);
        QVERIFY(m_demo.dragWindow(restingPlace, restingPlace + way));
        QCOMPARE(m_demo.windowRect(), before.translated(way));
        // The screen shows the window, unchanged, where it was taken.
        const QImage after = settled();
        QCOMPARE(after, look);
        QCOMPARE(m_demo.grabScreen().copy(m_demo.windowRect()), after);
        QVERIFY(!m_demo.screenshot(QStringLiteral("screen-moved"), true).isEmpty());
    }

    void saveWithoutChangesSendsAndStoresNothing()
    {
        const QByteArray before = fileBytes(m_demo.dataDir() + QLatin1Char('/') + profile);
        const int mark = m_demo.traceCount();
        m_demo.click(saveButton.x(), saveButton.y());
        QVERIFY(m_demo.waitForIdle());
        QCOMPARE(m_demo.commands(mark), QStringList());
        QCOMPARE(fileBytes(m_demo.dataDir() + QLatin1Char('/') + profile), before);
    }

    void saveStoresAndSendsAnUnsavedChange()
    {
        const QImage before = settled();
        QCOMPARE(pixel(before, saveButtonFill), 0x09347fu); // colorBlue: nothing unsaved
        const QJsonObject memoryBefore = m_demo.memory();

        m_demo.drag(dpiStage1Knob, dpiStage1Knob - QPoint(0, 60));
        const QImage unsaved = settled();
        QVERIFY(!m_demo.screenshot(QStringLiteral("main-unsaved")).isEmpty());
        QCOMPARE(pixel(unsaved, saveButtonFill), 0xff3030u); // the unsaved colour
        const QString stage1 = storedList(m_demo, profile, QStringLiteral("mouse/dpiValueArray")).value(0);
        QCOMPARE(stage1, seededDpi[0]); // not stored before Save

        const int mark = m_demo.traceCount();
        m_demo.click(saveButton.x(), saveButton.y());
        // While the mouse is written the window shows the busy notice over its middle, drawn by
        // the view itself, as the event loop is held.
        const QRect middle(512 - 40, 320 - 40, 80, 80);
        QTRY_VERIFY(m_demo.grab().copy(middle) != unsaved.copy(middle));
        QTRY_VERIFY(storedList(m_demo, profile, QStringLiteral("mouse/dpiValueArray")) != seededDpi);
        QVERIFY(m_demo.waitForIdle());
        const QStringList stored = storedList(m_demo, profile, QStringLiteral("mouse/dpiValueArray"));
        QCOMPARE(stored.size(), 8);
        QVERIFY2(stored[0].toInt() > seededDpi[0].toInt(), qPrintable(stored.join(QLatin1Char(','))));
        QCOMPARE(stored.mid(1), seededDpi.mid(1));
        // A 560 mouse takes DPI values in its profile blocks.
        QVERIFY(codes(m_demo.commands(mark)).contains(QStringLiteral("0c")));
        QVERIFY(m_demo.memory().value(QLatin1String("profileBlocks"))
                != memoryBefore.value(QLatin1String("profileBlocks")));
        QCOMPARE(pixel(settled(), saveButtonFill), 0x09347fu);
        QVERIFY(!m_demo.screenshot(QStringLiteral("main-saved")).isEmpty());
    }

    void dpiButtonShowsTheStageAndMovesTheMark()
    {
        const QImage before = settled();
        const int notices = m_demo.notices().size();
        QVERIFY(m_demo.pressDpiButton(3));
        QTRY_COMPARE(m_demo.memory().value(QLatin1String("currentDpiStage")).toInt(), 3);
        QTRY_COMPARE(m_demo.notices(notices).size(), 1);
        QCOMPARE(m_demo.notices(notices).first().trimmed(), QStringLiteral("DPI Switch to 3"));
        // The right panel marks the new stage.
        const QRect dpiBlock(768, 56, 232, 256);
        QVERIFY(settled().copy(dpiBlock) != before.copy(dpiBlock));
        QVERIFY(!m_demo.screenshot(QStringLiteral("main-dpi-3")).isEmpty());
    }

    void resetCancelledChangesNothing()
    {
        const QImage before = settled();
        const QByteArray stored = fileBytes(m_demo.dataDir() + QLatin1Char('/') + profile);
        const int mark = m_demo.traceCount();

        m_demo.click(resetButton.x(), resetButton.y());
        const QImage asking = settled();
        QVERIFY(!m_demo.screenshot(QStringLiteral("reset-confirmation")).isEmpty());
        // The box: its black title strip, its colorGray0 body, over the darkened window.
        QCOMPARE(pixel(asking, confirmBox.topLeft() + QPoint(400, 15)), 0x000000u);
        QCOMPARE(pixel(asking, confirmBox.bottomLeft() + QPoint(4, -4)), 0x1a1a1au);

        m_demo.click(cancelButton.x(), cancelButton.y());
        QCOMPARE(settled(), before);
        QCOMPARE(m_demo.commands(mark), QStringList());
        QCOMPARE(fileBytes(m_demo.dataDir() + QLatin1Char('/') + profile), stored);
    }

    void resetConfirmedRestoresTheFactoryProfile()
    {
        const QStringList factory = storedList(m_demo, QStringLiteral("setting/pD.bin"),
                                               QStringLiteral("mouse/dpiValueArray"));
        QCOMPARE(factory.size(), 8);
        QVERIFY(storedList(m_demo, profile, QStringLiteral("mouse/dpiValueArray")) != factory);
        const QJsonObject memoryBefore = m_demo.memory();
        QCOMPARE(memoryBefore.value(QLatin1String("currentDpiStage")).toInt(), 3); // the DPI button's
        const int mark = m_demo.traceCount();

        m_demo.click(resetButton.x(), resetButton.y());
        QVERIFY(!settled().isNull());
        m_demo.click(okButton.x(), okButton.y());
        QTRY_COMPARE(storedList(m_demo, profile, QStringLiteral("mouse/dpiValueArray")), factory);
        QVERIFY(m_demo.waitForIdle());

        // Every page sent its factory values, the key matrix was reset and stage 2 made current.
        const QStringList sent = codes(m_demo.commands(mark));
        for (const char *code : {"0c", "0d", "04"})
            QVERIFY2(sent.contains(QLatin1String(code)), qPrintable(sent.join(QLatin1Char(' '))));
        const QJsonObject memory = m_demo.memory();
        QCOMPARE(memory.value(QLatin1String("currentDpiStage")).toInt(), 2);
        QVERIFY(memory.value(QLatin1String("profileBlocks")) != memoryBefore.value(QLatin1String("profileBlocks")));

        const QImage after = settled();
        QVERIFY(pixel(after, confirmBox.topLeft() + QPoint(400, 15)) != 0x000000u
                || pixel(after, confirmBox.bottomLeft() + QPoint(4, -4)) != 0x1a1a1au);
        QVERIFY(!m_demo.screenshot(QStringLiteral("main-after-reset")).isEmpty());
    }

    void askMenuOpensAndCloses()
    {
        const QImage before = settled();
        const int mark = m_demo.traceCount();

        m_demo.click(askButton.x(), askButton.y());
        const QImage open = settled();
        QVERIFY(!m_demo.screenshot(QStringLiteral("ask-menu")).isEmpty());
        QCOMPARE(pixel(open, askMenu.topLeft() + QPoint(0, 10)), 0x3c3c3cu);       // border
        QCOMPARE(pixel(open, askMenu.topRight() + QPoint(-2, 10)), 0x1a1a1au);     // row background

        // The version row does nothing but close the menu.
        m_demo.click(versionRow.x(), versionRow.y());
        QCOMPARE(settled(), before);
        QCOMPARE(m_demo.commands(mark), QStringList());
    }

    void windowButtonHidesAndASecondStartBringsItBack_data()
    {
        QTest::addColumn<QPoint>("button");
        QTest::newRow("minimise") << minimiseButton;
        QTest::newRow("close") << closeButton;
    }

    void windowButtonHidesAndASecondStartBringsItBack()
    {
        QFETCH(QPoint, button);
        const QImage before = settled();
        m_demo.click(button.x(), button.y());
        // A bare X server has no one to minimise a window; Wayland's compositor does it.
        if (button == closeButton || DemoDriver::onWayland())
            QVERIFY(m_demo.waitForWindow(false));
        QVERIFY(m_demo.startAgain() >= 0); // ended by itself, having handed over
        QVERIFY2(m_demo.waitForWindow(), qPrintable(m_demo.screenshot(QStringLiteral("no-window"), true)));
        QCOMPARE(settled(), before);
    }

    void cleanupTestCase()
    {
        if (m_demo.compositorMissing())
            return; // skipped: nothing was started
        // Quits as through the tray: a clean exit, nothing left running.
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eMain)
#include "tst_e2e_main.moc"
