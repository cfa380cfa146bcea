#include "PointerBackends.h"

#include <QTest>

#include <X11/Xlib.h>

// Runs against its own Xvfb display; the real desktop is never touched.
class tst_PointerX11 : public QObject
{
    Q_OBJECT

private slots:
    void accelerationFollowsSpeed()
    {
        Display *check = XOpenDisplay(nullptr);
        QVERIFY2(check, "needs an X display (run under xvfb-run)");
        int num = 0, den = 0, threshold = 0, thresholdBefore = 0;
        XGetPointerControl(check, &num, &den, &thresholdBefore);
        auto backend = XPointerBackend::open();
        QVERIFY(backend);
        // speed/5, so the middle is the server's default 2/1; the threshold is left alone.
        const QList<std::array<int, 3>> rows = {{1, 1, 5}, {7, 7, 5}, {10, 2, 1}, {20, 4, 1}};
        for (const auto &[speed, numerator, denominator] : rows) {
            QVERIFY(backend->setCursorSpeed(quint32(speed)));
            XGetPointerControl(check, &num, &den, &threshold);
            QCOMPARE(QList<int>({num, den, threshold}), QList<int>({numerator, denominator, thresholdBefore}));
        }
        QVERIFY(!backend->setCursorSpeed(21)); // refused, and changes nothing
        QVERIFY(!backend->setDoubleClickTime(400)); // the X server keeps none of these
        QVERIFY(!backend->setWheelScrollLines(3));
        XGetPointerControl(check, &num, &den, &threshold);
        XCloseDisplay(check);
        QCOMPARE(QList<int>({num, den}), QList<int>({4, 1}));
        QVERIFY(!XPointerBackend::open("unix:4711")); // no such display, no backend
    }
};

QTEST_GUILESS_MAIN(tst_PointerX11)
#include "tst_pointerX11.moc"
