#include "PointerBackends.h"

#include <QTest>

#include <X11/Xlib.h>

// Runs against its own Xvfb display; the real desktop is never touched.
class tst_PointerX11 : public QObject
{
    Q_OBJECT

private slots:
    void accelerationFollowsSpeed_data()
    {
        QTest::addColumn<quint32>("speed");
        QTest::addColumn<int>("numerator");
        QTest::addColumn<int>("denominator");
        QTest::newRow("slowest") << 1u << 1 << 5;
        QTest::newRow("7") << 7u << 7 << 5;
        QTest::newRow("middle is the server default") << 10u << 2 << 1;
        QTest::newRow("fastest") << 20u << 4 << 1;
    }
    void accelerationFollowsSpeed()
    {
        QFETCH(quint32, speed);
        QFETCH(int, numerator);
        QFETCH(int, denominator);
        Display *check = XOpenDisplay(nullptr);
        QVERIFY2(check, "needs an X display (run under xvfb-run)");
        int num = 0, den = 0, threshold = 0, thresholdBefore = 0;
        XGetPointerControl(check, &num, &den, &thresholdBefore);

        auto backend = XPointerBackend::open();
        QVERIFY(backend);
        QVERIFY(backend->setCursorSpeed(speed));
        QVERIFY(!backend->setCursorSpeed(21)); // refused, and changes nothing
        QVERIFY(!backend->setDoubleClickTime(400)); // the X server keeps none of these
        QVERIFY(!backend->setWheelScrollLines(3));
        XGetPointerControl(check, &num, &den, &threshold);
        XCloseDisplay(check);
        QCOMPARE(num, numerator);
        QCOMPARE(den, denominator);
        QCOMPARE(threshold, thresholdBefore);
        QVERIFY(!XPointerBackend::open("unix:4711")); // no such display, no backend
    }
};

QTEST_GUILESS_MAIN(tst_PointerX11)
#include "tst_pointerX11.moc"
