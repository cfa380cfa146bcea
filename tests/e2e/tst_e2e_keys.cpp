// A button given a fire function in the real demo: its tag clicked on the mouse picture, the fire key
// typed with XTEST so that it travels through the program's input hook, a rate chosen on the
// slider, the page closed and Save pressed. The virtual mouse's key matrix must hold the fire entry.
#include "DemoDriver.h"

#include <QJsonArray>
#include <QTest>

#include <X11/keysym.h>

namespace {

// Window positions from the documents' layout: the tag of button 2 stands over the right end of
// its highlight (562,132, 192 wide); the assignment page (416 × 404) opens centred; its content
// starts 41 below the page's top, the fire section 100 into the content, its controls 42 below
// the section's top.
constexpr int button = 1;
constexpr QPoint buttonTag{562 + 192 - 48 + 24, 132 - 12 + 12};
constexpr QPoint pageOrigin{304, 118};
constexpr QPoint fireSection = pageOrigin + QPoint{0, 41 + 100 + 42};
constexpr QPoint fireKeyField = fireSection + QPoint{104 + 48, 12};
constexpr QPoint rateHead = fireSection + QPoint{80 + 55, 32 + 12};
// The rate slider (94 long) is centred in the 110-wide strip that opens under the head; a click
// puts the knob's left edge 6 left of the pointer, and knob position x stands for x + 1 ms.
constexpr int ratePosition = 39;
constexpr QPoint rateClick = fireSection + QPoint{80 + 8 + ratePosition + 6, 32 + 24 + 12};
constexpr QPoint pageClose = pageOrigin + QPoint{392, 20};
constexpr QPoint saveButton{968, 620};

constexpr int usbB = 0x05;

} // namespace

class tst_E2eKeys : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    void clickAndSettle(QPoint at)
    {
        m_demo.click(at.x(), at.y());
        QVERIFY(m_demo.waitForIdle());
    }

    QList<int> matrixEntry(const QJsonObject &memory, int matrix, int entry) const
    {
        const QJsonArray bytes = memory.value(QLatin1String("keyMatrices")).toArray().at(matrix - 1).toArray();
        QList<int> out;
        for (int i = 4 * entry; i < 4 * entry + 4 && i < bytes.size(); ++i)
            out << bytes.at(i).toInt();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
        QVERIFY(m_demo.waitForIdle());
    }

    void fireKeyReachesTheMouse()
    {
        clickAndSettle(buttonTag);
        clickAndSettle(fireKeyField);
        // The key takes its way through the input hook; the field shows it once it has arrived.
        const QRect field(fireKeyField - QPoint{48, 12}, QSize{96, 24});
        const QImage waiting = m_demo.grab().copy(field);
        m_demo.pressKey(XK_b);
        QVERIFY2(DemoDriver::pollUntil([&] { return m_demo.grab().copy(field) != waiting; }, 10000),
                 "the typed key never reached the page");
        QVERIFY(m_demo.waitForIdle());
        clickAndSettle(rateHead);
        clickAndSettle(rateClick);
        QVERIFY(!m_demo.screenshot(QStringLiteral("keys-fire")).isEmpty());
        clickAndSettle(pageClose);

        // Nothing reaches the mouse before Save.
        const QJsonObject before = m_demo.memory();
        const QList<int> fire{0x0A, usbB, ratePosition + 1, 0};
        QVERIFY(matrixEntry(before, 1, button) != fire);
        clickAndSettle(saveButton);
        QTRY_COMPARE(m_demo.storedValue(QStringLiteral("setting/p1.bin"),
                                        QStringLiteral("mouseKeyMatrix/%1").arg(button)).toStringList(),
                     (QStringList{"1", "5", QString::number(ratePosition + 1), "0"}));
        const QJsonObject after = m_demo.waitForMemoryChange(before);
        QCOMPARE(matrixEntry(after, 1, button), fire);
        // The other buttons keep their functions.
        QCOMPARE(matrixEntry(after, 1, 0), (QList<int>{0x01, 0x00, 0xF0, 0x00}));
        QCOMPARE(matrixEntry(after, 1, 7), (QList<int>{0x0A, 0xF0, 0x1E, 0x02}));
        m_demo.moveTo(600, 600);
        QVERIFY(m_demo.waitForIdle());
        QVERIFY(!m_demo.screenshot(QStringLiteral("keys-saved")).isEmpty());
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eKeys)
#include "tst_e2e_keys.moc"
