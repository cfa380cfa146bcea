// Input typed with XTEST reaching the mouse through the real demo's input hook, on one start: a fire
// function (its key typed into the assignment page, a rate chosen) on button 2, and a macro recorded
// from real key presses on button 4; one Save sends both. The macro block must hold exactly the bytes
// the program's own encoding makes of what was recorded; the recorded delays are whatever the typing
// took, only checked to lie within the time the recording ran.
#include "DemoDriver.h"

#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

#include <X11/keysym.h>

namespace {

// Window positions from the documents' layout. The assignment page (416 × 404) opens centred; the tag
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
constexpr QPoint saveButton{968, 620};

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
                                     "    return MacroCodec.encode(m.actions, m.repeat, KeyCodes.defaultLabels(),\n"
                                     "                             KeyCodes.codes())\n"
                                     "  }\n"
                                     "}\n")
                          .arg(QUrl::fromLocalFile(QStringLiteral(KO_MODULES_SOURCE_DIR "/qml/common")).toString())
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

} // namespace

class tst_E2eInput : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    QList<int> matrixEntry(int button)
    {
        return m_demo.memoryBytes({QStringLiteral("keyMatrices"), QStringLiteral("0")}, 4 * button, 4);
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
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
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
            QVERIFY2(!action.startsWith(QLatin1String("0,")) || action.mid(2).toInt() % 10 == 0, qPrintable(action));
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
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/p1.bin"), QStringLiteral("mouseMacroKey/%1").arg(macroButton)),
                 QVariant(QStringLiteral("Macro_0")));

        // Nothing reaches the mouse before Save.
        const QList<int> fire{0x0A, 0x05, ratePosition + 1, 0}; // fire, usage of "b", interval
        QVERIFY(matrixEntry(fireButton) != fire);
        QVERIFY(m_demo.click(saveButton));
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/p1.bin"), QStringLiteral("mouseKeyMatrix/%1").arg(fireButton)),
                 QVariant(QStringList{"1", "5", QString::number(ratePosition + 1), "0"}));
        QTRY_COMPARE(matrixEntry(fireButton), fire);
        // The other buttons keep their functions.
        QCOMPARE(matrixEntry(0), (QList<int>{0x01, 0x00, 0xF0, 0x00}));
        QCOMPARE(matrixEntry(7), (QList<int>{0x0A, 0xF0, 0x1E, 0x02}));
        // Repeat count, four records, the end; a long wait between the keys adds its extension. The
        // button runs macro number slot + 1.
        const QList<int> expected = encodeMacro(stored);
        QVERIFY2(expected.size() >= 12, qPrintable(stored.join(' ')));
        QTRY_COMPARE(m_demo.memoryBytes({QStringLiteral("macros"), QString::number(macroButton + 1)}, 0, expected.size()),
                 expected);
        QCOMPARE(matrixEntry(macroButton), (QList<int>{0x09, 0x00, macroButton + 1, 0x00}));
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eInput)
#include "tst_e2e_input.moc"
