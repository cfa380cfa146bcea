// The real demo on one start, driven with XTEST and checked where each step lands (the reports on
// the wire, the stored files, the mouse's memory, the picture): what only a real display shows. The
// window dragged, Save under its busy notice, the mouse's own DPI button, Reset and the ask menu
// drawn, the window hidden and brought back by a second start, a fire key through the input hook, a
// macro recorded from real keys. CTest runs it on Xvfb and, with KO_E2E_WAYLAND=1, on Weston. (New
// profiles, the drop-down, export and import: tst_ui's ProfilePage; a DPI knob dragged and saved on the
// 560: DpiAndReportRate; the stages of a switch in every device profile: tst_e2e_focus.)
#include "DemoDriver.h"

#include <QElapsedTimer>
#include <QTest>

#include <X11/keysym.h>

#include <numeric>

namespace {
// The bottom bar's buttons; a spot inside Save clear of its text shows its colour.
constexpr QPoint saveButton{968, 620};
constexpr QPoint saveFill{940, 611};
constexpr QPoint resetButton{888, 620};
// The reset confirmation opens centred: OK and Cancel under a black title strip on a grey body.
constexpr QRect confirmBox{298, 269, 427, 102};
constexpr QPoint dpiStage1Knob{826, 265}; // at the foot of its upright slider
constexpr QPoint restingPlace{700, 600};  // over the background: no hover effect on the pictures
// The assignment page (416 × 404) opens centred from a button's tag; its fire section 183 down. A
// click on the rate slider puts the knob's left edge 6 left of the pointer; position x is x + 1 ms.
constexpr QPoint assignOrigin{304, 118};
constexpr QPoint assignClose = assignOrigin + QPoint{392, 20};
constexpr int fireButton = 1;
constexpr QPoint fireSection = assignOrigin + QPoint{0, 183};
constexpr QPoint fireKeyField = fireSection + QPoint{152, 12};
constexpr int ratePosition = 39;
// The macro editor (640 × 448) opens centred; the assignment page's macro choice is five wheel
// steps of 40 pixels down.
constexpr QPoint editorOrigin{192, 96};
constexpr int macroButton = 3; // "Key 4" in the key list
constexpr QPoint macroDropHead = assignOrigin + QPoint{112, 41 + 394 - 40 * 5 + 12};

const QString profile = QStringLiteral("setting/p1.bin"); // profile number 0
const QString dpiKey = QStringLiteral("mouse/dpiValueArray");
const QList<int> seededDpi{500, 1000, 1500, 2000, 3000, 4000, 5000, 6000};
const QList<int> factoryDpi{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
constexpr QRgb saveBlue = 0x09347f; // nothing unsaved
constexpr QRgb saveRed = 0xff3030;  // unsaved changes

// The mouse's bytes of a macro of four key records (press and release of two keys, the waits in
// ms between them): repeat count 1, then per record a delay byte in 10 ms ticks (bit 7 for a
// release) and the key's usage, or from 127 ticks on 0 (| 0x80) and the usage, then 0, unit 1 and
// the ticks / 2; the last record waits one tick; 0, 0 ends it.
QList<int> macroBytes(const QList<int> &usages, const QList<int> &waits)
{
    QList<int> out{0, 1};
    for (int i = 0; i < usages.size(); ++i) {
        const int release = i % 2 ? 0x80 : 0;
        const int ticks = i < waits.size() ? (waits[i] + 5) / 10 : 1;
        if (ticks < 127)
            out << (qMax(1, ticks) | release) << usages[i];
        else
            out << release << usages[i] << 0 << 1 << (ticks / 2 >> 8) << (ticks / 2 & 0xff);
    }
    return out << 0 << 0;
}

} // namespace

class tst_E2eMain : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    // The window once the pointer rests on the background and nothing moves.
    QImage settled() { return m_demo.moveTo(restingPlace) ? m_demo.grab() : QImage(); }
    static QRgb rgb(const QImage &image, QPoint at) { return image.pixel(at) & 0xffffff; }
    bool clicks(std::initializer_list<QPoint> points)
    {
        for (const QPoint at : points) {
            if (!m_demo.click(at))
                return false;
        }
        return true;
    }
    QList<int> matrixEntry(int button)
    {
        return DemoDriver::bytes(m_demo.memory()["keyMatrices"][0], 4 * button, 4);
    }

private slots:
    void initTestCase()
    {
        // The profile in use differs from the factory profile, so that the reset has work to do.
        QVERIFY2(m_demo.prepare(), qPrintable(m_demo.error()));
        QVERIFY(m_demo.setStoredNumbers(profile, dpiKey, seededDpi));
        if (!m_demo.start() && m_demo.compositorMissing())
            QSKIP(qPrintable(m_demo.error()));
        QVERIFY2(m_demo.isRunning(), qPrintable(m_demo.error()));
    }

    void startsAndMovesWithTheBackground()
    {
        // (The trace of the handshake and a clean quit through the tray: tst_program.)
        QCOMPARE(m_demo.windowRect().size(), DemoDriver::windowSize);
        const QImage look = settled();
        const QRect before = m_demo.windowRect();
        const QSize screen = m_demo.grabScreen().size();
        // Towards the middle of the screen, so that the window stays on it.
        const QPoint way(before.center().x() < screen.width() / 2 ? 60 : -60,
                         before.center().y() < screen.height() / 2 ? 40 : -40);
        QVERIFY(m_demo.dragWindow(restingPlace, restingPlace + way));
        QCOMPARE(m_demo.windowRect(), before.translated(way));
        QCOMPARE(settled(), look);
        QCOMPARE(m_demo.grabScreen().copy(m_demo.windowRect()), look);
    }

    // (Save with nothing that differs sends nothing: tst_ctl_handover and tst_ui's MainWindow.)
    void saveSendsTheChangeUnderTheBusyNotice()
    {
        const QJsonObject memoryBefore = m_demo.memory();
        QCOMPARE(rgb(settled(), saveFill), saveBlue);
        QVERIFY(m_demo.drag(dpiStage1Knob, dpiStage1Knob - QPoint(0, 60)));
        const QImage unsaved = settled();
        QCOMPARE(rgb(unsaved, saveFill), saveRed);
        QCOMPARE(m_demo.storedNumbers(profile, dpiKey), seededDpi); // not stored before Save
        const int mark = m_demo.traceCount();
        m_demo.click(saveButton, 1, false);
        // While the mouse is written the view draws the busy notice itself, as the event loop is held.
        QVERIFY(m_demo.waitForChange(unsaved, QRect(472, 280, 80, 80)));
        QVERIFY(m_demo.waitForIdle());
        const QList<int> dpi = m_demo.storedNumbers(profile, dpiKey);
        QCOMPARE(dpi.size(), 8);
        QVERIFY(dpi[0] > seededDpi[0]);
        QCOMPARE(dpi.mid(1), seededDpi.mid(1));
        QVERIFY(m_demo.commands(mark).contains(QStringLiteral("0c"))); // a 560 takes DPI in its profile blocks
        QVERIFY(m_demo.memory()["profileBlocks"] != memoryBefore["profileBlocks"]);
        QCOMPARE(rgb(settled(), saveFill), saveBlue);
    }

    void dpiButtonShowsTheStageAndMovesTheMark()
    {
        const QImage before = settled();
        const int notices = m_demo.notices().size();
        QVERIFY(m_demo.pressDpiButton(3));
        QTRY_COMPARE(m_demo.memory()[QLatin1String("currentDpiStage")].toInt(), 3);
        QTRY_COMPARE(m_demo.notices(notices).size(), 1);
        QCOMPARE(m_demo.notices(notices).first().trimmed(), QStringLiteral("DPI Switch to 3"));
        const QRect dpiBlock(768, 56, 232, 256);
        QVERIFY(settled().copy(dpiBlock) != before.copy(dpiBlock));
    }

    // (What OK sends on each model, and where the box may be dragged: tst_ui's MainWindow.)
    void resetAsksAndRestoresTheFactoryProfile()
    {
        const QImage before = settled();
        const int mark = m_demo.traceCount();
        QVERIFY(m_demo.click(resetButton));
        const QImage asking = settled();
        QCOMPARE(rgb(asking, confirmBox.topLeft() + QPoint(400, 15)), 0x000000u);
        QCOMPARE(rgb(asking, confirmBox.bottomLeft() + QPoint(4, -4)), 0x1a1a1au);
        QVERIFY(m_demo.click({574, 344})); // Cancel
        QCOMPARE(settled(), before);
        QCOMPARE(m_demo.traceLines(mark), QStringList());

        QVERIFY(m_demo.click(resetButton));
        m_demo.click({669, 344}, 1, false); // OK
        QTRY_COMPARE(m_demo.storedNumbers(profile, dpiKey), factoryDpi);
        QVERIFY(m_demo.waitForIdle());
        const QStringList sent = m_demo.commands(mark);
        for (const char *code : {"0c", "0d", "04"})
            QVERIFY2(sent.contains(QLatin1String(code)), qPrintable(sent.join(QLatin1Char(' '))));
        QCOMPARE(m_demo.memory()[QLatin1String("currentDpiStage")].toInt(), 2);
        QVERIFY(settled().copy(confirmBox) != asking.copy(confirmBox));
    }

    void askMenuOpensAndCloses()
    {
        const QImage before = settled();
        const int mark = m_demo.traceCount();
        QVERIFY(m_demo.click({928, 24})); // the ask button
        const QImage open = settled();
        QCOMPARE(rgb(open, QPoint(524, 40)), 0x3c3c3cu); // its border
        QCOMPARE(rgb(open, QPoint(721, 40)), 0x1a1a1au); // a row
        QVERIFY(m_demo.click({623, 67})); // the version row does nothing but close the menu
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

    // (What each assignment sends, and the recorder's actions: tst_ui's KeysPage and MacroPage.)
    void fireAndMacroReachTheMouse()
    {
        // The fire key takes its way through the input hook; the field shows it once it arrived.
        QVERIFY(clicks({{730, 132}, fireKeyField})); // the tag of button 2, the key field
        const QImage waiting = m_demo.grab();
        QVERIFY(m_demo.pressKey(XK_b));
        QVERIFY2(m_demo.waitForChange(waiting, QRect(fireKeyField - QPoint{48, 12}, QSize{96, 24})),
                 "the typed key never reached the page");
        // The rate slider opens under its head; then a click on the track.
        QVERIFY(clicks({fireSection + QPoint{135, 44}, fireSection + QPoint{88 + ratePosition + 6, 68},
                        assignClose}));

        // A macro recorded from "h", then "i" once the page shows the first key, so that a real wait
        // lies between them.
        QVERIFY(clicks({{140, 402}, editorOrigin + QPoint{48, 430}}));
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/name.bin"), QStringLiteral("macro/macroName")),
                     QVariant(QStringList{"Macro_0", "loaderbeacon"}));
        QVERIFY(m_demo.click(editorOrigin + QPoint{100, 95}));
        QElapsedTimer recording;
        recording.start();
        const QPoint recordButton = editorOrigin + QPoint{250, 430};
        QVERIFY(m_demo.click(recordButton));
        QVERIFY(m_demo.typeText(QStringLiteral("h")));
        QVERIFY(m_demo.typeText(QStringLiteral("i")));
        QVERIFY(m_demo.click(recordButton));
        const QString macroFile = QStringLiteral("macro/Macro_0.bin");
        QTRY_VERIFY(m_demo.storedValue(macroFile, QStringLiteral("config/total")).toInt() > 1);
        const qint64 recordedWithin = recording.elapsed();
        QCOMPARE(m_demo.storedValue(macroFile, QStringLiteral("config/repeat")).toInt(), 1);
        QStringList keys;
        QList<int> waits;
        for (int i = 0; i < m_demo.storedValue(macroFile, QStringLiteral("config/total")).toInt(); ++i) {
            const QString action = m_demo.storedValue(macroFile, QStringLiteral("macro/%1").arg(i)).toString();
            if (action.startsWith(QLatin1String("0,")))
                waits << action.mid(2).toInt();
            else
                keys << action;
        }
        QCOMPARE(keys, (QStringList{"1,H", "2,H", "1,I", "2,I"}));
        QCOMPARE(waits.size(), 3);
        QVERIFY(std::accumulate(waits.begin(), waits.end(), 0) <= recordedWithin);
        for (int wait : waits)
            QCOMPARE(wait % 10, 0); // whole ticks
        QVERIFY(m_demo.click(editorOrigin + QPoint{616, 20}));

        // The button's page, scrolled to the macro choice, takes the first macro.
        QVERIFY(m_demo.click({140, 88 + 40 + 26 * macroButton + 12}));
        for (int i = 0; i < 5; ++i)
            m_demo.click(assignOrigin + QPoint{200, 200}, 5, false);
        QVERIFY(clicks({macroDropHead, macroDropHead + QPoint{0, 24}, assignClose}));
        QTRY_COMPARE(m_demo.storedValue(profile, QStringLiteral("mouseMacroKey/%1").arg(macroButton)),
                     QVariant(QStringLiteral("Macro_0")));

        // Nothing reaches the mouse before Save.
        const QList<int> fire{0x0A, 0x05, ratePosition + 1, 0}; // fire, usage of "b", interval
        QVERIFY(matrixEntry(fireButton) != fire);
        QVERIFY(m_demo.click(saveButton));
        QTRY_COMPARE(m_demo.storedValue(profile, QStringLiteral("mouseKeyMatrix/%1").arg(fireButton)),
                     QVariant(QStringList{"1", "5", QString::number(ratePosition + 1), "0"}));
        QTRY_COMPARE(matrixEntry(fireButton), fire);
        // The button runs macro number slot + 1; "h" and "i" are usages 0x0B and 0x0C.
        const QList<int> expected = macroBytes({0x0B, 0x0B, 0x0C, 0x0C}, waits);
        const QString slot = QString::number(macroButton + 1);
        QTRY_COMPARE(DemoDriver::bytes(m_demo.memory()["macros"][slot], 0, expected.size()), expected);
        QCOMPARE(matrixEntry(macroButton), (QList<int>{0x09, 0x00, macroButton + 1, 0x00}));
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
