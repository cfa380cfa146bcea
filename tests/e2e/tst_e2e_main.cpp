// The real demo on an X display, driven as a user would: the main window's Save, Reset and ask-menu
// buttons clicked with XTEST, the mouse's DPI button pressed. Each step is checked where it lands: the
// reports on the wire, the stored profile, the mouse's memory; each state is photographed.
#include "DemoDriver.h"

#include <QJsonArray>
#include <QTest>

class tst_E2eMain : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
    }

    void mainWindowOpensAtItsSizeAndIsDrawn()
    {
        QCOMPARE(m_demo.windowRect().size(), QSize(1024, 640));
        // The handshake: the challenge goes out enciphered and comes back.
        QTRY_VERIFY(m_demo.traceLines().size() >= 2);
        QVERIFY(m_demo.traceLines().first().contains(QLatin1String(" -> feature 00 ")));
        QVERIFY(m_demo.waitForIdle());
        QVERIFY(!m_demo.screenshot(QStringLiteral("main")).isEmpty());
        QVERIFY(!m_demo.memory().isEmpty());
    }

    void dpiButtonShowsTheStageAndMovesTheMark()
    {
        const int notices = m_demo.notices().size();
        QVERIFY(m_demo.pressDpiButton(3));
        QTRY_COMPARE(m_demo.memory().value(QLatin1String("currentDpiStage")).toInt(), 3);
        QTRY_COMPARE(m_demo.notices(notices).size(), 1);
        QVERIFY(m_demo.notices(notices).first().startsWith(QLatin1String("DPI Switch to")));
        QVERIFY(m_demo.waitForIdle());
        QVERIFY(!m_demo.screenshot(QStringLiteral("main-dpi-3")).isEmpty());
    }

    void cleanupTestCase()
    {
        // Quits as through the tray: a clean exit, nothing left running.
        QCOMPARE(m_demo.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2eMain)
#include "tst_e2e_main.moc"
