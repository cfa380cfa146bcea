// GLib's headers use "signals" as a member name, which Qt defines as a keyword; they come first.
#include <gio/gio.h>

#include "HostPointerSettings.h"
#include "PointerBackends.h"
#include "myQQuickView.h"

#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Records what it was offered; takes it or not as told.
class RecordingBackend : public PointerBackend
{
public:
    explicit RecordingBackend(bool takes = true) : m_takes(takes) {}
    QList<quint32> speeds, times, lines;

    bool setCursorSpeed(quint32 v) override { speeds << v; return m_takes; }
    bool setDoubleClickTime(quint32 v) override { times << v; return m_takes; }
    bool setWheelScrollLines(quint32 v) override { lines << v; return m_takes; }

private:
    bool m_takes;
};

} // namespace

class tst_HostPointerSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<myQQuickView> m_view;
    std::unique_ptr<HostPointerSettings> m_settings;

    // Gives the view fresh backends, one per entry of takes, and returns them.
    QList<RecordingBackend *> useBackends(const QList<bool> &takes)
    {
        m_settings = std::make_unique<HostPointerSettings>();
        QList<RecordingBackend *> made;
        for (bool t : takes) {
            made << new RecordingBackend(t);
            m_settings->addBackend(std::unique_ptr<PointerBackend>(made.last()));
        }
        m_view->setHostPointerSettings(m_settings.get());
        return made;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_view = std::make_unique<myQQuickView>(nullptr, m_dir.filePath(QStringLiteral("modules")));
    }

    void slotsApplyPageValues_data()
    {
        QTest::addColumn<uint>("index");
        QTest::addColumn<quint32>("speed");
        QTest::addColumn<quint32>("ms");
        const quint32 speeds[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
        const quint32 times[] = {900, 830, 760, 690, 620, 550, 480, 410, 340, 270, 200};
        for (uint i = 0; i <= 10; ++i)
            QTest::addRow("index %u", i) << i << speeds[i] << times[i];
    }
    void slotsApplyPageValues()
    {
        QFETCH(uint, index);
        QFETCH(quint32, speed);
        QFETCH(quint32, ms);
        const auto b = useBackends({true});
        m_view->mouseSetCursorSpeed(index);
        m_view->mouseSetDoubleClickSpeed(index);
        QCOMPARE(b[0]->speeds, QList<quint32>{speed});
        QCOMPARE(b[0]->times, QList<quint32>{ms});
        QCOMPARE(QGuiApplication::styleHints()->mouseDoubleClickInterval(), int(ms));
    }

    // Values past the page's range, including a double-click index whose time wraps around,
    // reach neither the desktop nor the program's own settings.
    void outOfRangeIsRefused()
    {
        const auto b = useBackends({true});
        QStyleHints *hints = QGuiApplication::styleHints();
        hints->setMouseDoubleClickInterval(444);
        hints->setWheelScrollLines(4);
        for (const char *line : {"setCursorSpeed Failed", "setDoubleClickSpeed Failed",
                                 "setVerticalScrollLines Failed"})
            QTest::ignoreMessage(QtDebugMsg, line);
        m_view->mouseSetCursorSpeed(11);
        m_view->mouseSetDoubleClickSpeed(13);
        m_view->mouseSetVerticalScrollLines(kWheelScrollPage + 1);
        QVERIFY(b[0]->speeds.isEmpty() && b[0]->times.isEmpty() && b[0]->lines.isEmpty());
        QCOMPARE(hints->mouseDoubleClickInterval(), 444);
        QCOMPARE(hints->wheelScrollLines(), 4);
    }

    // One backend that takes a setting is enough; every backend is still offered it. Where none
    // takes it the slot says so, and the program's own settings follow all the same.
    void appliedWhenAnyBackendTakes_data()
    {
        QTest::addColumn<QList<bool>>("takes");
        QTest::newRow("no backend") << QList<bool>{};
        QTest::newRow("both refuse") << QList<bool>{false, false};
        QTest::newRow("second takes") << QList<bool>{false, true};
        QTest::newRow("first takes") << QList<bool>{true, false};
    }
    void appliedWhenAnyBackendTakes()
    {
        QFETCH(QList<bool>, takes);
        const auto b = useBackends(takes);
        const bool applied = takes.contains(true);
        QCOMPARE(m_settings->setCursorSpeed(10), applied);
        QCOMPARE(m_settings->setDoubleClickTime(690), applied);
        QCOMPARE(m_settings->setWheelScrollLines(kWheelScrollPage), applied);
        for (RecordingBackend *r : b)
            QVERIFY(r->speeds.size() == 1 && r->times.size() == 1 && r->lines == QList<quint32>{1000});
        QCOMPARE(QGuiApplication::styleHints()->mouseDoubleClickInterval(), 690);
        QCOMPARE(QGuiApplication::styleHints()->wheelScrollLines(), 1000);
        if (!applied) {
            for (const char *line : {"setCursorSpeed Failed", "setDoubleClickSpeed Failed",
                                     "setVerticalScrollLines Failed"})
                QTest::ignoreMessage(QtDebugMsg, line);
            m_view->mouseSetCursorSpeed(5);
            m_view->mouseSetDoubleClickSpeed(3);
            m_view->mouseSetVerticalScrollLines(kWheelScrollPage);
        }
    }

    void gnomeStore_data()
    {
        QTest::addColumn<quint32>("speed");
        QTest::addColumn<double>("stored");
        QTest::newRow("slowest") << 1u << -1.0;
        QTest::newRow("2") << 2u << -8.0 / 9.0;
        QTest::newRow("middle is the default") << 10u << 0.0;
        QTest::newRow("14") << 14u << 0.4;
        QTest::newRow("fastest") << 20u << 1.0;
    }
    void gnomeStore()
    {
        QFETCH(quint32, speed);
        QFETCH(double, stored);
        QCOMPARE(qgetenv("GSETTINGS_BACKEND"), QByteArray("memory")); // never the user's store
        auto backend = GioPointerBackend::open();
        QVERIFY(backend);
        QVERIFY(backend->setCursorSpeed(speed));
        QVERIFY(backend->setDoubleClickTime(200 + speed));
        // What the store cannot hold leaves it as it was.
        QVERIFY(!backend->setCursorSpeed(21));
        QVERIFY(!backend->setDoubleClickTime(0x80000000u));
        QVERIFY(!backend->setWheelScrollLines(3)); // GNOME keeps no such setting

        GSettings *check = g_settings_new(kGnomeMouseSchema);
        QVERIFY(qAbs(g_settings_get_double(check, "speed") - stored) < 1e-9);
        QCOMPARE(g_settings_get_int(check, "double-click"), int(200 + speed));
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

    void kdeConfigEdit_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after"); // empty: refused
        const QByteArray entry = "WheelScrollLines=5\n";
        QTest::newRow("new file") << QByteArray() << "[KDE]\n" + entry;
        QTest::newRow("value replaced in place")
            << QByteArray("[KDE]\nWheelScrollLines=3\nSingleClick=false\n")
            << "[KDE]\n" + entry + "SingleClick=false\n";
        QTest::newRow("key added at the end of its group")
            << QByteArray("[KDE]\nSingleClick=false\n\n[General]\nx=1\n")
            << "[KDE]\nSingleClick=false\n" + entry + "\n[General]\nx=1\n";
        QTest::newRow("subgroup is another group")
            << QByteArray("[KDE][Sub]\nWheelScrollLines=9") // and no final newline
            << "[KDE][Sub]\nWheelScrollLines=9\n\n[KDE]\n" + entry;
        QTest::newRow("locked key") << QByteArray("[KDE]\nWheelScrollLines[$i]=3\n") << QByteArray();
        QTest::newRow("locked group") << QByteArray("[KDE][$i]\na=1\n") << QByteArray();
        QTest::newRow("locked file") << QByteArray("[$i]\n[KDE]\na=1\n") << QByteArray();
    }
    void kdeConfigEdit()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const auto result = withKdeConfigEntry(before, "KDE", "WheelScrollLines", "5");
        QCOMPARE(result.value_or(QByteArray()), after);
    }

    void kdeGlobalsFileIsWrittenAndAnnounced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("config/kdeglobals"));
        const auto contents = [&path] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
        };
        int announced = 0;
        KdeGlobalsPointerBackend backend(path, [&announced] { ++announced; });

        QVERIFY(backend.setWheelScrollLines(1000)); // makes the file and its folder
        QVERIFY(backend.setDoubleClickTime(480));
        QVERIFY(!backend.setCursorSpeed(10)); // kept elsewhere on KDE
        QCOMPARE(contents(), QByteArray("[KDE]\nWheelScrollLines=1000\nDoubleClickInterval=480\n"));
        QCOMPARE(announced, 2);

        // A locked value is left alone and nobody is told.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[KDE][$i]\nDoubleClickInterval=400\n");
        f.close();
        QVERIFY(!backend.setDoubleClickTime(200));
        QCOMPARE(contents(), QByteArray("[KDE][$i]\nDoubleClickInterval=400\n"));
        QCOMPARE(announced, 2);
    }
};

QTEST_MAIN(tst_HostPointerSettings)
#include "tst_hostPointerSettings.moc"
