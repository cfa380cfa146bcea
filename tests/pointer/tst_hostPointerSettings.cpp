// GLib's headers use "signals" as a member name, which Qt defines as a keyword; they come first.
#include <gio/gio.h>

#include "HostPointerSettings.h"
#include "PointerBackends.h"
#include "myQQuickView.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

// Xlib's macros clash with Qt names, so it comes after Qt.
#include <X11/Xlib.h>

namespace {

// Records what it was offered; takes it or not as told.
struct RecordingBackend : PointerBackend
{
    bool setCursorSpeed(quint32 v) override { speeds << v; return takes; }
    bool setDoubleClickTime(quint32 v) override { times << v; return takes; }
    bool setWheelScrollLines(quint32 v) override { lines << v; return takes; }
    bool takes = true;
    QList<quint32> speeds, times, lines;
};

QList<quint32> offered(quint32 value) { return value ? QList<quint32>{value} : QList<quint32>{}; }

} // namespace

class tst_HostPointerSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<myQQuickView> m_view;
    std::unique_ptr<HostPointerSettings> m_settings;
    RecordingBackend *m_refuses = nullptr;
    RecordingBackend *m_takes = nullptr;

private slots:
    // A backend that refuses everything before one that takes everything: each is offered each value.
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_view = std::make_unique<myQQuickView>(nullptr, m_dir.filePath(QStringLiteral("modules")));
        m_settings = std::make_unique<HostPointerSettings>();
        m_settings->addBackend(std::unique_ptr<PointerBackend>(m_refuses = new RecordingBackend));
        m_settings->addBackend(std::unique_ptr<PointerBackend>(m_takes = new RecordingBackend));
        m_refuses->takes = false;
        m_view->setHostPointerSettings(m_settings.get());
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(444);
    }

    // Every backend is offered each value until one takes it; where none does, the slot says so and
    // the program's own settings follow all the same. What the page cannot send is refused with the
    // slot's failure line and reaches neither the desktop nor the program: speed index 11, time
    // index 13 (it would wrap the time around), wheel lines past a page. (The page's ends through
    // the view, with one backend: tst_system.qml.)
    void pageValues_data()
    {
        QTest::addColumn<bool>("takes");
        QTest::addColumn<uint>("index");
        QTest::addColumn<quint32>("speed"); // 0: refused
        QTest::addColumn<quint32>("ms");
        QTest::newRow("index 11") << true << 11u << 0u << 130u;
        QTest::newRow("index 13") << true << 13u << 0u << 0u;
        QTest::newRow("index 3, no backend takes it") << false << 3u << 6u << 690u;
    }
    void pageValues()
    {
        QFETCH(bool, takes);
        QFETCH(uint, index);
        QFETCH(quint32, speed);
        QFETCH(quint32, ms);
        m_takes->takes = takes;
        if (!speed || !takes)
            QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
        if (!ms || !takes)
            QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
        for (int failed = takes ? 1 : 2; failed > 0; --failed)
            QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
        m_view->mouseSetCursorSpeed(index);
        m_view->mouseSetDoubleClickSpeed(index);
        m_view->mouseSetVerticalScrollLines(kWheelScrollPage);
        m_view->mouseSetVerticalScrollLines(kWheelScrollPage + 1);
        for (RecordingBackend *b : {m_refuses, m_takes}) {
            QCOMPARE(b->speeds, offered(speed));
            QCOMPARE(b->times, offered(ms));
            QCOMPARE(b->lines, QList<quint32>{kWheelScrollPage});
        }
        QCOMPARE(QGuiApplication::styleHints()->mouseDoubleClickInterval(), ms ? int(ms) : 444);
        QCOMPARE(QGuiApplication::styleHints()->wheelScrollLines(), int(kWheelScrollPage));
    }

    void gnomeStore()
    {
        QCOMPARE(qgetenv("GSETTINGS_BACKEND"), QByteArray("memory")); // never the user's store
        auto backend = GioPointerBackend::open();
        QVERIFY(backend);
        GSettings *check = g_settings_new(kGnomeMouseSchema);
        // The middle is the desktop default; each half of the scale maps onto its half of -1 to 1.
        const QList<QPair<quint32, double>> speeds = {{2, -8.0 / 9.0}, {10, 0.0}, {14, 0.4}, {20, 1.0}, {1, -1.0}};
        for (const auto &[speed, stored] : speeds) {
            QVERIFY(backend->setCursorSpeed(speed));
            QVERIFY2(qAbs(g_settings_get_double(check, "speed") - stored) < 1e-9, QByteArray::number(speed));
        }
        QVERIFY(backend->setDoubleClickTime(210));
        // What the store cannot hold leaves it as it was.
        // GNOME keeps no wheel lines.
        QVERIFY(!backend->setCursorSpeed(21) && !backend->setDoubleClickTime(0x80000000u) && !backend->setWheelScrollLines(3));
        QCOMPARE(g_settings_get_double(check, "speed"), -1.0);
        QCOMPARE(g_settings_get_int(check, "double-click"), 210);
        g_object_unref(check);
        // A schema that is not installed is no backend, and must not end the process.
        QVERIFY(!GioPointerBackend::open("org.kestrelorbit.no.such.schema"));
    }

    // Registered a second time with no GIO module and no named store.
    void fallbackStoreIsNoBackend()
    {
        if (qEnvironmentVariableIsSet("GSETTINGS_BACKEND") || !qEnvironmentVariableIsSet("GIO_MODULE_DIR"))
            QSKIP("needs GIO without modules and without GSETTINGS_BACKEND");
        QVERIFY(!GioPointerBackend::open());
    }

    // On the test's own Xvfb display, never the desktop's: speed/5, so the middle is the server's
    // default 2/1; the threshold is left alone; what the X server cannot keep is refused.
    void xPointerAcceleration()
    {
        Display *check = XOpenDisplay(nullptr);
        QVERIFY2(check, "needs an X display (run under xvfb-run)");
        int num = 0, den = 0, threshold = 0, thresholdBefore = 0;
        XGetPointerControl(check, &num, &den, &thresholdBefore);
        auto backend = XPointerBackend::open();
        QVERIFY(backend);
        const QList<std::array<int, 3>> rows = {{1, 1, 5}, {7, 7, 5}, {10, 2, 1}, {20, 4, 1}};
        for (const auto &[speed, numerator, denominator] : rows) {
            QVERIFY(backend->setCursorSpeed(quint32(speed)));
            XGetPointerControl(check, &num, &den, &threshold);
            QCOMPARE(QList<int>({num, den, threshold}), QList<int>({numerator, denominator, thresholdBefore}));
        }
        QVERIFY(!backend->setCursorSpeed(21) && !backend->setDoubleClickTime(400) && !backend->setWheelScrollLines(3));
        XGetPointerControl(check, &num, &den, &threshold);
        XCloseDisplay(check);
        QCOMPARE(QList<int>({num, den}), QList<int>({4, 1}));
        QVERIFY(!XPointerBackend::open("unix:4711")); // no such display, no backend
    }

    // The KDE globals edit keeps every other line and leaves locked values alone.
    void kdeConfigEdit()
    {
        const auto edit = [](const char *text) {
            return withKdeConfigEntry(text, "KDE", "WheelScrollLines", "5").value_or("refused");
        };
        QCOMPARE(edit("[KDE]\nWheelScrollLines=3\na=1\n"), QByteArray("[KDE]\nWheelScrollLines=5\na=1\n"));
        QCOMPARE(edit("[KDE][Sub]\nWheelScrollLines=9"), QByteArray("[KDE][Sub]\nWheelScrollLines=9\n\n[KDE]\nWheelScrollLines=5\n"));
        QCOMPARE(edit("[KDE]\nWheelScrollLines[$i]=3\n"), QByteArray("refused"));
    }
};

QTEST_MAIN(tst_HostPointerSettings)
#include "tst_hostPointerSettings.moc"
