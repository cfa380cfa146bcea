// A macro recorded in the real demo from keys typed with XTEST, given to a button and saved: the
// virtual mouse must hold exactly the bytes the program's own encoding makes of what was recorded.
// The recorded delays are whatever the typing took; they are only checked to lie within the time
// the recording ran.
#include "DemoDriver.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

namespace {

// Window positions of the controls used, from the documents' layout: the main window's editor box
// under the eight-row key list, the macro editor (640 × 448) and the assignment page (416 × 404)
// centred in the 1024 × 640 window.
constexpr QPoint macroEditorEntry{140, 402};
constexpr QPoint editorOrigin{192, 96};
constexpr QPoint newButton = editorOrigin + QPoint{48, 430};
constexpr QPoint firstMacroRow = editorOrigin + QPoint{100, 95};
constexpr QPoint recordButton = editorOrigin + QPoint{250, 430};
constexpr QPoint editorClose = editorOrigin + QPoint{616, 20};
constexpr int button = 3; // "Key 4" in the key list
constexpr QPoint keyListRow{140, 88 + 40 + 26 * button + 12};
constexpr QPoint assignOrigin{304, 118};
constexpr QPoint assignBody = assignOrigin + QPoint{200, 200};
// The macro section is reached by scrolling five wheel steps of 40 pixels.
constexpr int wheelSteps = 5;
constexpr QPoint macroDropHead = assignOrigin + QPoint{112, 41 + 394 - 40 * wheelSteps + 12};
constexpr QPoint firstMacroItem = macroDropHead + QPoint{0, 24};
constexpr QPoint assignClose = assignOrigin + QPoint{392, 20};
constexpr QPoint saveButton{968, 620};
const QColor orange(0xcf, 0x3e, 0x00);
const QColor blue(0x09, 0x34, 0x7f);

// The program's encoding of a stored macro, by its own script library.
class MacroEncoder
{
public:
    MacroEncoder()
    {
        const QString common = QStringLiteral(KO_MODULES_SOURCE_DIR "/qml/common/");
        QQmlComponent component(&m_engine);
        component.setData(QStringLiteral("import QtQml\n"
                                         "import \"%1macroCodec.js\" as MacroCodec\n"
                                         "import \"%1keyCodes.js\" as KeyCodes\n"
                                         "QtObject {\n"
                                         "  function encode(stored) {\n"
                                         "    const m = MacroCodec.fromStored(stored)\n"
                                         "    return MacroCodec.encode(m.actions, m.repeat,\n"
                                         "        KeyCodes.defaultLabels(), KeyCodes.codes())\n"
                                         "  }\n"
                                         "}\n")
                              .arg(QUrl::fromLocalFile(common).toString())
                              .toUtf8(),
                          QUrl());
        m_object.reset(component.create());
        m_error = component.errorString();
    }
    QString error() const { return m_error; }
    QList<int> encode(const QStringList &stored)
    {
        QVariant result;
        if (!m_object || !QMetaObject::invokeMethod(m_object.get(), "encode",
                                                    Q_RETURN_ARG(QVariant, result),
                                                    Q_ARG(QVariant, stored)))
            return {};
        QList<int> bytes;
        for (const QVariant &v : result.toList())
            bytes << v.toInt();
        return bytes;
    }

private:
    QQmlEngine m_engine;
    std::unique_ptr<QObject> m_object;
    QString m_error;
};

} // namespace

class tst_E2eMacro : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    // The macro file as the store reads it back: the actions, then the repeat count.
    QStringList storedMacro(const QString &name) const
    {
        const QString file = QStringLiteral("macro/%1.bin").arg(name);
        QStringList list;
        const int total = m_demo.storedValue(file, QStringLiteral("config/total")).toInt();
        for (int i = 0; i < total; ++i)
            list << m_demo.storedValue(file, QStringLiteral("macro/%1").arg(i)).toString();
        list << m_demo.storedValue(file, QStringLiteral("config/repeat")).toString();
        return list;
    }

    // The mouse's macro block of the button's slot, as the demo last wrote its memory.
    QList<int> macroBlock(int slot) const
    {
        QList<int> block;
        const QJsonArray bytes = m_demo.memory()
                                     .value(QLatin1String("macros"))
                                     .toObject()
                                     .value(QString::number(slot + 1))
                                     .toArray();
        for (const QJsonValue &v : bytes)
            block << v.toInt();
        return block;
    }

    QList<int> keyMatrixEntry(int key) const
    {
        const QJsonArray matrix =
            m_demo.memory().value(QLatin1String("keyMatrices")).toArray().at(0).toArray();
        QList<int> entry;
        for (int i = 4 * key; i < 4 * key + 4 && i < matrix.size(); ++i)
            entry << matrix.at(i).toInt();
        return entry;
    }

    // Waits until the window shows `colour` at `at`.
    bool showsColour(QPoint at, QColor colour)
    {
        return DemoDriver::pollUntil([&] { return m_demo.grab().pixelColor(at) == colour; }, 5000);
    }

    void clickAndSettle(QPoint at, int xButton = 1)
    {
        m_demo.click(at.x(), at.y(), xButton);
        QVERIFY(m_demo.waitForIdle());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
        // The main screen replaces the start-up logo once the start-up lock is over.
        QVERIFY(showsColour(saveButton - QPoint{26, 0}, blue));
        QVERIFY(m_demo.waitForIdle());
    }

    void recordAssignSave()
    {
        MacroEncoder encoder;
        QVERIFY2(encoder.error().isEmpty(), qPrintable(encoder.error()));

        clickAndSettle(macroEditorEntry);
        QVERIFY(showsColour(editorOrigin + QPoint{320, 40}, orange)); // the page's title line
        clickAndSettle(newButton);
        QVERIFY(showsColour(firstMacroRow + QPoint{60, 0}, orange)); // the new macro, selected
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/name.bin"),
                                        QStringLiteral("macro/macroName")).toStringList(),
                     (QStringList{"Macro_0", "loaderbeacon"}));
        clickAndSettle(firstMacroRow);

        // Recording: "h", then "i" once the page shows the first key, so that a real wait lies
        // between them.
        QElapsedTimer recording;
        recording.start();
        clickAndSettle(recordButton);
        m_demo.typeText(QStringLiteral("h"));
        QVERIFY(m_demo.waitForIdle());
        m_demo.typeText(QStringLiteral("i"));
        // The keys come through the input hook, the click through the window: the page must have
        // taken the last key before the recording is stopped.
        QVERIFY(m_demo.waitForIdle());
        clickAndSettle(recordButton);
        QTRY_VERIFY(storedMacro(QStringLiteral("Macro_0")).size() > 1);
        const qint64 recordedWithin = recording.elapsed();
        QVERIFY(!m_demo.screenshot(QStringLiteral("macro-editor")).isEmpty());

        const QStringList stored = storedMacro(QStringLiteral("Macro_0"));
        QStringList keys;
        qint64 delays = 0;
        for (const QString &action : stored.mid(0, stored.size() - 1)) {
            if (action.startsWith(QLatin1String("0,"))) {
                const int ms = action.mid(2).toInt();
                QVERIFY2(ms % 10 == 0, qPrintable(action));
                delays += ms;
            } else {
                keys << action;
            }
        }
        QCOMPARE(keys, (QStringList{"1,H", "2,H", "1,I", "2,I"}));
        QCOMPARE(stored.size(), 4 + 3 + 1); // a delay between each two keys, the repeat count
        QVERIFY2(delays <= recordedWithin, qPrintable(stored.join(' ')));

        clickAndSettle(editorClose);
        // The button's page, scrolled to the macro choice.
        clickAndSettle(keyListRow);
        QVERIFY(showsColour(assignOrigin + QPoint{200, 40}, orange));
        for (int i = 0; i < wheelSteps; ++i)
            m_demo.click(assignBody.x(), assignBody.y(), 5);
        QVERIFY(m_demo.waitForIdle());
        clickAndSettle(macroDropHead);
        clickAndSettle(firstMacroItem);
        clickAndSettle(assignClose);
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/p1.bin"),
                                        QStringLiteral("mouseMacroKey/%1").arg(button)).toString(),
                     QStringLiteral("Macro_0"));
        clickAndSettle(saveButton);

        // Repeat count, four records, the end; a long wait between the keys adds its extension.
        const QList<int> expected = encoder.encode(stored);
        QVERIFY2(expected.size() >= 12, qPrintable(stored.join(' ')));
        QTRY_VERIFY(macroBlock(button).size() >= expected.size());
        QCOMPARE(macroBlock(button).mid(0, expected.size()), expected);
        // Save sent the key matrix: the button runs macro number slot + 1.
        QTRY_COMPARE(keyMatrixEntry(button), (QList<int>{0x09, 0x00, button + 1, 0x00}));
        QVERIFY(m_demo.waitForIdle());
        QVERIFY(!m_demo.screenshot(QStringLiteral("macro-assigned")).isEmpty());
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eMacro)
#include "tst_e2e_macro.moc"
