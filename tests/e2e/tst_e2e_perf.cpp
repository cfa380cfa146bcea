// The DPI and lighting blocks of the real demo, used as a user would: a DPI knob dragged, a
// lighting effect and a colour picked, Save pressed. The virtual mouse (a 560 gun model with colour
// lighting, on the shipped profile) must then hold the new DPI codes and lighting bytes, and the
// profile file the same values. The main screen and the system setting page are photographed.
#include "DemoDriver.h"

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QTest>

namespace {

// Window positions of the controls on the demo's main screen (right panel at 768, 56: the DPI
// block, then the lighting block 8 below it).
constexpr QPoint kStage2Knob{864, 256};  // stage 2's knob at 800 DPI (knob position 12)
constexpr int kDpiDrag = 40;              // up to knob position 52: 3800 DPI in 200 … 12000 by 100
constexpr QPoint kEffectHead{908, 340};
constexpr QPoint kBreathRow{870, 388};    // second row of the opened effect list
constexpr QPoint kColour2{863, 437};      // colour square 2, orange 255, 128, 0: knob at 15
constexpr QPoint kColourKnob{808, 462};   // the knob's centre over bar position 15
constexpr int kColourDrag = 45;           // to bar position 60: pure green
constexpr QPoint kSave{968, 620};
constexpr QPoint kSystemSettingButton{140, 520};

QList<int> bytes(const QJsonObject &memory, int block, int from, int count)
{
    const QJsonArray all = memory.value(QLatin1String("profileBlocks")).toArray().at(block).toArray();
    QList<int> out;
    for (int i = from; i < from + count && i < all.size(); ++i)
        out << all.at(i).toInt();
    return out;
}

QList<int> numbers(const QVariant &stored)
{
    QList<int> out;
    for (const QString &text : stored.toStringList())
        out << text.trimmed().toInt();
    return out;
}

} // namespace

class tst_E2ePerf : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
        QVERIFY(m_demo.waitForIdle());
    }

    void dpiAndLightingReachTheMouse()
    {
        m_demo.drag(kStage2Knob, kStage2Knob - QPoint(0, kDpiDrag));
        QVERIFY(m_demo.waitForIdle());
        m_demo.click(kEffectHead.x(), kEffectHead.y());
        QVERIFY(m_demo.waitForIdle());
        m_demo.click(kBreathRow.x(), kBreathRow.y());
        QVERIFY(m_demo.waitForIdle());
        m_demo.click(kColour2.x(), kColour2.y());
        QVERIFY(m_demo.waitForIdle());
        m_demo.drag(kColourKnob, kColourKnob + QPoint(kColourDrag, 0));
        QVERIFY(m_demo.waitForIdle());
        // Nothing has gone to the mouse before Save.
        const QJsonObject before = m_demo.memory();
        QCOMPARE(bytes(before, 1, 84, 2), QList<int>({0x03, 0x07}));

        m_demo.click(kSave.x(), kSave.y());
        // Save sends DPI, effect and colours in turn, the colours last; the protocol's pauses make
        // that take a few seconds.
        QTRY_COMPARE_WITH_TIMEOUT(bytes(m_demo.memory(), 0, 24, 9),
                                  QList<int>({255, 0, 0, 0, 255, 0, 255, 255, 0}), 30000);
        const QJsonObject memory = m_demo.memory();
        // DPI: code = value / 100 − 1 for the 3360 sensor, in the codes and the mask of every
        // device profile.
        const QList<int> codes{3, 37, 15, 31, 47, 63, 79, 119};
        for (int block = 1; block <= 4; ++block) {
            QCOMPARE(bytes(memory, block, 84, 8), codes);
            QCOMPARE(bytes(memory, block, 100, 1), QList<int>({0x0f}));
            // "Breath" is code 3 with the slowest speed (10) it was reset to.
            QCOMPARE(bytes(memory, block, 71, 3), QList<int>({0x03, 0, 10}));
        }

        const QString profile = QStringLiteral("setting/p1.bin");
        QCOMPARE(numbers(m_demo.storedValue(profile, QStringLiteral("mouse/dpiValueArray"))),
                 QList<int>({400, 3800, 1600, 3200, 4800, 6400, 8000, 12000}));
        QCOMPARE(numbers(m_demo.storedValue(profile, QStringLiteral("mouse/lightValue"))),
                 QList<int>({1, 0, 4}));
        QCOMPARE(numbers(m_demo.storedValue(profile, QStringLiteral("mouse/colorValue"))).mid(3, 3),
                 QList<int>({0, 255, 0}));
        QVERIFY(!m_demo.screenshot(QStringLiteral("perf-main")).isEmpty());
    }

    void systemSettingPage()
    {
        QVERIFY(m_demo.waitForIdle());
        const QImage before = m_demo.grab();
        m_demo.click(kSystemSettingButton.x(), kSystemSettingButton.y());
        QVERIFY(m_demo.waitForIdle());
        // The page (416 × 312) opens centred: its bottom-left corner is drawn over what was
        // there, and the main screen just outside it is dimmed.
        const QImage shown = m_demo.grab();
        QVERIFY(shown.pixelColor(306, 474) != before.pixelColor(306, 474));
        QVERIFY(shown.pixelColor(300, 480).lightness() < before.pixelColor(300, 480).lightness()
                || before.pixelColor(300, 480).lightness() == 0);
        QVERIFY(!m_demo.screenshot(QStringLiteral("perf-system")).isEmpty());
    }

    void cleanupTestCase()
    {
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2ePerf)
#include "tst_e2e_perf.moc"
