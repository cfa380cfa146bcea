// Profiles chosen by the focused application, end to end: the real demo with two rules, two test
// windows of different classes on a real desktop, the focus moved from outside. The virtual mouse
// must end up holding each rule's profile, the configuration its number, and a notice names both.
//   x11:  Xvfb with openbox (it keeps _NET_ACTIVE_WINDOW), the focus moved as a pager does;
//   sway: sway headless, run as an unprivileged account, native Wayland windows, swaymsg focus.
#include "DemoDriver.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <X11/Xlib.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString config = QStringLiteral("setting/apConfig.bin");
const QList<int> dpiA{500, 1000, 1500, 2000, 2500, 3000, 3500, 4000};
const QList<int> dpiB{700, 1400, 2100, 2800, 3500, 4200, 4900, 5600};

} // namespace

class tst_E2eFocus : public QObject
{
    Q_OBJECT

    std::vector<std::unique_ptr<QProcess>> m_processes; // the desktop and its windows
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    QStringList m_prefix; // runs the desktop's programs (as another account)

    QProcess *spawn(const QStringList &command)
    {
        m_processes.push_back(DemoDriver::launch(m_prefix + command, m_env));
        return m_processes.back().get();
    }

    // The demo with rules for the two classes (profiles 2 and 3, with DPI stages of their own); then
    // each window in turn takes the focus.
    void journey(const std::function<bool(int window)> &focus, const QStringList &classes)
    {
        DemoDriver demo;
        QVERIFY(demo.prepare());
        const QStringList names{"Standard0", "Aim1", "Race2"};
        QVERIFY(demo.setStoredValue("setting/name.bin", "profile/profileName", names));
        QVERIFY(demo.setStoredNumbers("setting/p2.bin", "mouse/dpiValueArray", dpiA));
        QVERIFY(demo.setStoredNumbers("setting/p3.bin", "mouse/dpiValueArray", dpiB));
        const QList<std::pair<QString, QVariant>> rules{
            {"enabled", true}, {"desktopProfile", 1}, {"count", 2}, {"rule1", "class:" + classes[0]},
            {"profile1", 2}, {"rule2", "class:" + classes[1]}, {"profile2", 3}};
        for (const auto &[key, value] : rules)
            QVERIFY(demo.setStoredValue(config, "appRules/" + key, value));
        QVERIFY2(demo.start(), qPrintable(demo.error()));
        // Which window has the focus at the start is the desktop's choice, and the demo follows it at
        // once: the journey starts from the second window's profile, whose notice may come before the
        // focus is moved there.
        QStringList expected;
        for (int i : {1, 0, 1, 0}) {
            QVERIFY(DemoDriver::pollUntil([&] { return focus(i); }, 20000));
            const auto held = DemoDriver::dpiCodesFor(i ? dpiB : dpiA);
            QVERIFY(DemoDriver::pollUntil([&] { return demo.dpiCodes() == held; }, 60000));
            QTRY_COMPARE_WITH_TIMEOUT(demo.storedValue(config, "mouse/profileNo").toInt(), i + 1, 10000);
            // The notice comes once the switch is over, once.
            expected << QStringLiteral("Profile %1 for %2").arg(i + 2).arg(classes[i]);
            QTRY_VERIFY_WITH_TIMEOUT(demo.notices().join('\n').endsWith(expected.join('\n')), 30000);
        }
        const int code = demo.stop();
        QVERIFY2(code == 0, qPrintable(demo.errorLines().mid(demo.errorLines().size() - 15).join('\n')));
    }

private slots:
    void cleanup()
    {
        for (auto &p : m_processes)
            DemoDriver::end(*p);
        m_processes.clear();
        m_prefix.clear();
        m_env = QProcessEnvironment::systemEnvironment();
    }

    void x11()
    {
        const QString openbox = QStandardPaths::findExecutable("openbox");
        if (openbox.isEmpty())
            QSKIP("openbox is not installed (scripts/bootstrap installs it)");
        spawn({openbox, "--sm-disable"});
        // It runs once it has claimed the screen's window manager selection.
        const std::unique_ptr<Display, int (*)(Display *)> display(XOpenDisplay(nullptr), XCloseDisplay);
        Display *d = display.get();
        const Atom selection = XInternAtom(d, "WM_S0", False);
        if (!DemoDriver::pollUntil([&] { return XGetSelectionOwner(d, selection); }, 10000))
            QSKIP("openbox did not start on this display");
        m_env.insert("QT_QPA_PLATFORM", "xcb");
        const QStringList classes{"ko-focus-a", "ko-focus-b"};
        QList<Window> windows;
        for (const QString &cls : classes) {
            QProcess *p = spawn({KO_FOCUS_WINDOW, cls});
            QVERIFY(p->waitForReadyRead(10000));
            windows << Window(p->readLine().trimmed().toULongLong());
            QVERIFY(windows.last());
        }
        // The window manager is asked to activate a window, as a pager does (source 2: the user's).
        journey([&](int i) {
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = windows[i];
            e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
            e.xclient.format = 32;
            e.xclient.data.l[0] = 2;
            const long mask = SubstructureRedirectMask | SubstructureNotifyMask;
            XSendEvent(d, DefaultRootWindow(d), False, mask, &e);
            XFlush(d);
            return true;
        }, classes);
    }

    // sway refuses to run as root; it and its windows run as `nobody` with a runtime folder of their
    // own. The demo stays on the test's X display and follows sway's focus over its IPC.
    void sway()
    {
        const QString sway = QStandardPaths::findExecutable("sway");
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (sway.isEmpty() || setpriv.isEmpty())
            QSKIP("sway or setpriv is not installed (scripts/bootstrap installs sway)");
        if (geteuid() != 0)
            QSKIP("the sway journey needs root to run sway as another account");
        QTemporaryDir runtime;
        QVERIFY(chown(QFile::encodeName(runtime.path()), 65534, 65534) == 0
                && chmod(QFile::encodeName(runtime.path()), 0700) == 0);
        m_env.clear();
        for (const auto &[name, value] : {std::pair{"XDG_RUNTIME_DIR", runtime.path()},
                                          {"HOME", runtime.path()}, {"PATH", qEnvironmentVariable("PATH")},
                                          {"WLR_BACKENDS", "headless"}, {"WLR_LIBINPUT_NO_DEVICES", "1"},
                                          {"WLR_RENDERER", "pixman"}})
            m_env.insert(name, value);
        m_prefix = QStringList{setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
        QFile swayConfig(runtime.filePath("config"));
        QVERIFY(swayConfig.open(QIODevice::WriteOnly) && swayConfig.write("xwayland disable\n") > 0);
        swayConfig.close();
        QProcess *compositor = spawn({sway, "-c", swayConfig.fileName()});
        QString socket, display;
        DemoDriver::pollUntil([&] {
            const QDir dir(runtime.path());
            socket = dir.entryList({"sway-ipc.*.sock"}, QDir::System).value(0);
            display = dir.entryList({"wayland-?"}, QDir::System).value(0);
            return (!socket.isEmpty() && !display.isEmpty()) || compositor->state() == QProcess::NotRunning;
        }, 15000);
        if (socket.isEmpty() || display.isEmpty())
            QSKIP(qPrintable("sway did not start: " + compositor->readAllStandardError().right(600)));
        socket = runtime.filePath(socket);
        m_env.insert("WAYLAND_DISPLAY", display);
        m_env.insert("QT_QPA_PLATFORM", "wayland");
        const QStringList classes{"ko-focus-c", "ko-focus-d"};
        for (const QString &cls : classes)
            spawn({KO_FOCUS_WINDOW, cls});
        qputenv("SWAYSOCK", socket.toLocal8Bit()); // the demo finds sway by it
        const QString swaymsg = QStandardPaths::findExecutable("swaymsg");
        journey([&](int i) {
            const QString command = QStringLiteral("[app_id=\"%1\"] focus").arg(classes[i]);
            return DemoDriver::run({swaymsg, "-s", socket, command}) == 0;
        }, classes);
        qunsetenv("SWAYSOCK");
    }
};

QTEST_MAIN(tst_E2eFocus)
#include "tst_e2e_focus.moc"
