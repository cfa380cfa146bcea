// The real demo driven as a user would, on one start. The main window: dragged, Save, Reset and the
// ask menu clicked with XTEST, the mouse's DPI button pressed, the window hidden and brought back by
// a second start. Then input: a fire function typed into the assignment page, a macro recorded from
// real key presses (through the X11 hook, or as a Wayland client the window's own keys); and, on X11
// only (it is the longest), settings: a profile created and chosen, a DPI knob dragged, a lighting
// effect and colour picked, profiles switched, exported and imported through the file dialog, a gun
// chosen. Each step is checked where it lands: the
// reports on the wire, the stored files, the mouse's memory, the picture. CTest runs it on the bare X
// server and, with KO_E2E_WAYLAND=1, as a Wayland client of a Weston.
#include "DemoDriver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

#include <X11/keysym.h>

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
const QString config = QStringLiteral("setting/apConfig.bin");
const QString dpiKey = QStringLiteral("mouse/dpiValueArray");
const QList<int> seededDpi{500, 1000, 1500, 2000, 3000, 4000, 5000, 6000};
const QList<int> factoryDpi{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
const QList<int> changedDpi{400, 3800, 1600, 3200, 4800, 6400, 8000, 12000};

constexpr QRgb saveBlue = 0x09347f; // nothing unsaved
constexpr QRgb saveRed = 0xff3030;  // unsaved changes

// Input. The assignment page (416 × 404) opens centred; the tag
// of button 2 stands over the right end of its highlight; the fire section starts 141 into the page,
// its controls 42 below. The rate slider opens under its head; a click puts the knob's left edge 6
// left of the pointer, and knob position x stands for x + 1 ms.
constexpr QPoint assignOrigin{304, 118};
constexpr QPoint assignClose = assignOrigin + QPoint{392, 20};
constexpr int fireButton = 1;
constexpr QPoint fireButtonTag{730, 132};
constexpr QPoint fireSection = assignOrigin + QPoint{0, 41 + 100 + 42};
constexpr QPoint fireKeyField = fireSection + QPoint{152, 12};
constexpr QPoint rateHead = fireSection + QPoint{135, 44};
constexpr int ratePosition = 39;
constexpr QPoint rateClick = fireSection + QPoint{88 + ratePosition + 6, 68};
// The macro editor (640 × 448) opens centred from the box under the key list; the macro section of
// the assignment page is reached by five wheel steps of 40 pixels.
constexpr QPoint macroEditorEntry{140, 402};
constexpr QPoint editorOrigin{192, 96};
constexpr QPoint newMacro = editorOrigin + QPoint{48, 430};
constexpr QPoint firstMacroRow = editorOrigin + QPoint{100, 95};
constexpr QPoint recordButton = editorOrigin + QPoint{250, 430};
constexpr QPoint editorClose = editorOrigin + QPoint{616, 20};
constexpr int macroButton = 3; // "Key 4" in the key list
constexpr QPoint keyListRow{140, 88 + 40 + 26 * macroButton + 12};
constexpr QPoint macroDropHead = assignOrigin + QPoint{112, 41 + 394 - 40 * 5 + 12};

// The program's encoding of a stored macro, by its own script library.
QList<int> encodeMacro(const QStringList &stored)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import QtQml\n"
                                     "import \"%1/macroCodec.js\" as MacroCodec\n"
                                     "import \"%1/keyCodes.js\" as KeyCodes\n"
                                     "QtObject {\n"
                                     "  function encode(stored) {\n"
                                     "    const m = MacroCodec.fromStored(stored)\n"
                                     "    return MacroCodec.encode(m.actions, m.repeat,\n"
                                     "                             KeyCodes.defaultLabels(), KeyCodes.codes())\n"
                                     "  }\n"
                                     "}\n")
                          .arg(QUrl::fromLocalFile(KO_MODULES_SOURCE_DIR "/qml/common").toString())
                          .toUtf8(),
                      QUrl());
    std::unique_ptr<QObject> encoder(component.create());
    QVariant result;
    if (!encoder)
        qWarning() << component.errorString();
    QList<int> bytes;
    if (encoder && QMetaObject::invokeMethod(encoder.get(), "encode", Q_RETURN_ARG(QVariant, result),
                                             Q_ARG(QVariant, stored))) {
        for (const QVariant &v : result.toList())
            bytes << v.toInt();
    }
    return bytes;
}

// Settings. The right panel: the DPI block at 768, 56, the lighting block 8 below it. The
// profile page (415 × 288) opens centred at 304, 176; the gun page (640 × 448) at 192, 96.
constexpr QPoint stage2Knob{864, 256}; // stage 2 at 800 DPI; 40 up is 3800 in 200 … 12000 by 100
constexpr QPoint effectHead{908, 340};
constexpr QPoint breathRow{870, 388};   // second row of the opened effect list
constexpr QPoint colour2{863, 437};     // colour square 2, orange 255, 128, 0: knob at 15
constexpr QPoint colourKnob{808, 462};  // the knob's centre over bar position 15; 45 right is green
constexpr QPoint configButton{808, 620};
constexpr QPoint newProfile{352, 437};
constexpr QPoint importProfile{424, 437};
constexpr QPoint profileClose{695, 196};
constexpr QPoint firstProfileRow{384, 246};
constexpr QPoint dropDownHead{820, 24}; // rows 24 high below it
constexpr QPoint gunEditorEntry{140, 431};
constexpr QPoint akmRow{332, 264};
constexpr QPoint gunClose{808, 116};

} // namespace

class tst_E2eMain : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;
    QTemporaryDir m_files; // where the file dialog's answer lives

    // The window once the pointer rests on the background and nothing moves.
    QImage settled()
    {
        return m_demo.moveTo(restingPlace) ? m_demo.grab() : QImage();
    }
    QRgb pixel(QPoint at) { return settled().pixel(at) & 0xffffff; }
    QList<int> stored(const QString &file, const QString &key = dpiKey)
    {
        QList<int> out;
        for (const QString &text : m_demo.storedValue(file, key).toStringList())
            out << text.trimmed().toInt();
        return out;
    }
    // A file by its bytes, relative to the data folder or absolute.
    QByteArray contents(const QString &path)
    {
        QFile file(QDir(m_demo.dataDir()).filePath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QList<int> block(int index, int from, int count)
    {
        return DemoDriver::bytes(m_demo.memory()["profileBlocks"][index], from, count);
    }
    QList<int> matrixEntry(int button)
    {
        return DemoDriver::bytes(m_demo.memory()["keyMatrices"][0], 4 * button, 4);
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
        return m_demo.storedValue("setting/name.bin", "profile/profileName").toStringList();
    }

    // The macro file as the store reads it back: the actions, then the repeat count.
    QStringList storedMacro()
    {
        const QString file = QStringLiteral("macro/Macro_0.bin");
        QStringList list;
        for (int i = 0; i < m_demo.storedValue(file, QStringLiteral("config/total")).toInt(); ++i)
            list << m_demo.storedValue(file, QStringLiteral("macro/%1").arg(i)).toString();
        return list << m_demo.storedValue(file, QStringLiteral("config/repeat")).toString();
    }


private slots:
    void initTestCase()
    {
        // The profile in use differs from the factory profile, so that the reset has work to do.
        QVERIFY2(m_demo.prepare(), qPrintable(m_demo.error()));
        QVariantList seeded;
        for (int v : seededDpi)
            seeded << v;
        QVERIFY(m_demo.setStoredValue(profile, dpiKey, seeded));
        QVERIFY(m_files.isValid());
        if (!m_demo.start({QStringLiteral("--choose-file"), m_files.filePath(QStringLiteral("profile.pf"))})
            && m_demo.compositorMissing())
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
        const QByteArray file = contents(profile);
        int mark = m_demo.traceCount();
        QVERIFY(m_demo.click(saveButton));
        QCOMPARE(m_demo.traceLines(mark), QStringList());
        QCOMPARE(contents(profile), file);
        QCOMPARE(pixel(saveFill), saveBlue);

        const QJsonObject memoryBefore = m_demo.memory();
        QVERIFY(m_demo.drag(dpiStage1Knob, dpiStage1Knob - QPoint(0, 60)));
        const QImage unsaved = settled();
        QCOMPARE(unsaved.pixel(saveFill) & 0xffffff, saveRed);
        QCOMPARE(stored(profile), seededDpi); // not stored before Save

        mark = m_demo.traceCount();
        m_demo.click(saveButton, 1, false);
        // While the mouse is written the view draws the busy notice over its middle itself, as the
        // event loop is held.
        const QRect middle(472, 280, 80, 80);
        QVERIFY(DemoDriver::pollUntil([&] { return m_demo.grab().copy(middle) != unsaved.copy(middle); }));
        QVERIFY(m_demo.waitForIdle());
        const QList<int> dpi = stored(profile);
        QCOMPARE(dpi.size(), 8);
        QVERIFY(dpi[0] > seededDpi[0]);
        QCOMPARE(dpi.mid(1), seededDpi.mid(1));
        // A 560 mouse takes DPI values in its profile blocks.
        QVERIFY(m_demo.commands(mark).contains(QStringLiteral("0c")));
        QVERIFY(m_demo.memory()["profileBlocks"] != memoryBefore["profileBlocks"]);
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
        const QByteArray file = contents(profile);
        QCOMPARE(stored(QStringLiteral("setting/pD.bin")), factoryDpi);
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
        QCOMPARE(contents(profile), file);

        // Confirmed: every page sent its factory values, the key matrix was reset, stage 2 made current.
        QVERIFY(m_demo.click(resetButton));
        m_demo.click(okButton, 1, false);
        QTRY_COMPARE(stored(profile), factoryDpi);
        QVERIFY(m_demo.waitForIdle());
        const QStringList sent = m_demo.commands(mark);
        for (const char *code : {"0c", "0d", "04"})
            QVERIFY2(sent.contains(QLatin1String(code)), qPrintable(sent.join(QLatin1Char(' '))));
        QCOMPARE(m_demo.memory()[QLatin1String("currentDpiStage")].toInt(), 2);
        QVERIFY(m_demo.memory()["profileBlocks"] != memoryBefore["profileBlocks"]);
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

    void fireAndMacroReachTheMouse()
    {
        // The fire key takes its way through the input hook; the field shows it once it arrived.
        QVERIFY(m_demo.click(fireButtonTag));
        QVERIFY(m_demo.click(fireKeyField));
        const QRect field(fireKeyField - QPoint{48, 12}, QSize{96, 24});
        const QImage waiting = m_demo.grab().copy(field);
        QVERIFY(m_demo.pressKey(XK_b));
        QVERIFY2(DemoDriver::pollUntil([&] { return m_demo.grab().copy(field) != waiting; }),
                 "the typed key never reached the page");
        QVERIFY(m_demo.click(rateHead));
        QVERIFY(m_demo.click(rateClick));
        QVERIFY(m_demo.click(assignClose));

        // A macro recorded from "h", then "i" once the page shows the first key, so that a real wait
        // lies between them; the page must have taken the last key before the recording is stopped.
        QVERIFY(m_demo.click(macroEditorEntry));
        QVERIFY(m_demo.click(newMacro));
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/name.bin"), QStringLiteral("macro/macroName")),
                 QVariant(QStringList{"Macro_0", "loaderbeacon"}));
        QVERIFY(m_demo.click(firstMacroRow));
        QElapsedTimer recording;
        recording.start();
        QVERIFY(m_demo.click(recordButton));
        QVERIFY(m_demo.typeText(QStringLiteral("h")));
        QVERIFY(m_demo.typeText(QStringLiteral("i")));
        QVERIFY(m_demo.click(recordButton));
        QTRY_VERIFY(storedMacro().size() > 1);
        const qint64 recordedWithin = recording.elapsed();
        const QStringList stored = storedMacro();
        QStringList keys;
        qint64 delays = 0;
        for (const QString &action : stored.mid(0, stored.size() - 1)) {
            QVERIFY2(!action.startsWith("0,") || action.mid(2).toInt() % 10 == 0, qPrintable(action));
            if (action.startsWith(QLatin1String("0,")))
                delays += action.mid(2).toInt();
            else
                keys << action;
        }
        QCOMPARE(keys, (QStringList{"1,H", "2,H", "1,I", "2,I"}));
        QCOMPARE(stored.size(), 4 + 3 + 1); // a delay between each two keys, the repeat count
        QVERIFY2(delays <= recordedWithin, qPrintable(stored.join(' ')));
        QVERIFY(m_demo.click(editorClose));

        // The button's page, scrolled to the macro choice, takes the first macro.
        QVERIFY(m_demo.click(keyListRow));
        for (int i = 0; i < 5; ++i)
            m_demo.click(assignOrigin + QPoint{200, 200}, 5, false);
        QVERIFY(m_demo.click(macroDropHead));
        QVERIFY(m_demo.click(macroDropHead + QPoint{0, 24}));
        QVERIFY(m_demo.click(assignClose));
        QTRY_COMPARE(m_demo.storedValue(profile, QStringLiteral("mouseMacroKey/%1").arg(macroButton)),
                 QVariant(QStringLiteral("Macro_0")));

        // Nothing reaches the mouse before Save.
        const QList<int> fire{0x0A, 0x05, ratePosition + 1, 0}; // fire, usage of "b", interval
        QVERIFY(matrixEntry(fireButton) != fire);
        QVERIFY(m_demo.click(saveButton));
        QTRY_COMPARE(m_demo.storedValue(profile, QStringLiteral("mouseKeyMatrix/%1").arg(fireButton)),
                 QVariant(QStringList{"1", "5", QString::number(ratePosition + 1), "0"}));
        QTRY_COMPARE(matrixEntry(fireButton), fire);
        // The other buttons keep their functions.
        QCOMPARE(matrixEntry(0), (QList<int>{0x01, 0x00, 0xF0, 0x00}));
        QCOMPARE(matrixEntry(7), (QList<int>{0x0A, 0xF0, 0x1E, 0x02}));
        // Repeat count, four records, the end; a long wait between the keys adds its extension. The
        // button runs macro number slot + 1.
        const QList<int> expected = encodeMacro(stored);
        QVERIFY2(expected.size() >= 12, qPrintable(stored.join(' ')));
        const QString slot = QString::number(macroButton + 1);
        QTRY_COMPARE(DemoDriver::bytes(m_demo.memory()["macros"][slot], 0, expected.size()), expected);
        QCOMPARE(matrixEntry(macroButton), (QList<int>{0x09, 0x00, macroButton + 1, 0x00}));
    }

    void perfSettingsReachTheProfileInUse()
    {
        if (DemoDriver::onWayland())
            QSKIP("the settings journey runs on X11");
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
        QCOMPARE(stored(QStringLiteral("setting/p2.bin")), changedDpi);
        QCOMPARE(stored("setting/p2.bin", "mouse/lightValue"), QList<int>({1, 0, 4}));
        QCOMPARE(stored(QStringLiteral("setting/p2.bin"), QStringLiteral("mouse/colorValue")).mid(3, 3),
                 QList<int>({0, 255, 0}));
        QCOMPARE(stored(profile), factoryDpi);
    }

    void profilesSwitchExportAndImport()
    {
        if (DemoDriver::onWayland())
            QSKIP("the settings journey runs on X11");
        switchTo(0, factoryDpi);
        switchTo(1, changedDpi);
        // Export writes the profile in use although the standard row was right-clicked; the import
        // makes a third profile of it, which brings the changed stage back when chosen.
        QVERIFY(m_demo.click(configButton));
        QVERIFY(m_demo.click(firstProfileRow, 3));
        QVERIFY(m_demo.click(firstProfileRow + QPoint(30, 36)));
        const QString exported = m_files.filePath(QStringLiteral("profile.pf"));
        QTRY_COMPARE(contents(exported), contents(QStringLiteral("setting/p2.bin")));
        QVERIFY(m_demo.click(importProfile));
        QTRY_COMPARE(profileNames(), QStringList({"Standard0", "profile_01", "profile_12"}));
        QCOMPARE(contents(QStringLiteral("setting/p3.bin")), contents(exported));
        QVERIFY(m_demo.click(profileClose));
        switchTo(0, factoryDpi);
        switchTo(2, changedDpi);
    }

    void gunChoiceReachesTheMouse()
    {
        if (DemoDriver::onWayland())
            QSKIP("the settings journey runs on X11");
        QVERIFY(m_demo.click(gunEditorEntry));
        QVERIFY(m_demo.click(akmRow));
        QTRY_COMPARE(m_demo.storedValue(config, QStringLiteral("mouse/selectGun")).toStringList(),
                     QStringList({"1", "1", "2"}));
        QVERIFY(m_demo.click(gunClose));
        // Slot 1's gun (times, X, Y of "AKM") in device profile 2.
        const QStringList akm = m_demo.storedValue("gun/gunData.bin", "gunData/1").toStringList();
        QCOMPARE(akm.value(0), QStringLiteral("AKM"));
        QTRY_COMPARE(block(2, 79, 1), QList<int>{akm.value(5).toInt()});
        QCOMPARE(block(2, 81, 1), QList<int>{akm.value(4).toInt()});
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
