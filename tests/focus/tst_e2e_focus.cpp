// Profiles chosen by the focused application, end to end: the real demo with two rules, two test
// windows of different classes on a real desktop, the focus moved from outside. The virtual mouse
// must end up holding each rule's profile, the configuration its number, and a notice names both.
//   x11:  Xvfb with openbox (it keeps _NET_ACTIVE_WINDOW), the focus moved as a pager does;
//   sway: sway headless, run as an unprivileged account, native Wayland windows, swaymsg focus.
#include "DemoDriver.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString config = QStringLiteral("setting/apConfig.bin");
const QList<int> dpiA{500, 1000, 1500, 2000, 2500, 3000, 3500, 4000};
const QList<int> dpiB{700, 1400, 2100, 2800, 3500, 4200, 4900, 5600};
const QString windowProgram = QStringLiteral(KO_FOCUS_WINDOW);

// Asks the window manager to activate `w`, as a pager or xdotool windowactivate does.
void activateX11(Window w)
{
    Display *d = XOpenDisplay(nullptr);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2; // from a pager: the request is the user's
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XCloseDisplay(d);
}

bool windowManagerRuns()
{
    Display *d = XOpenDisplay(nullptr);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    if (data)
        XFree(data);
    XCloseDisplay(d);
    return count == 1;
}

} // namespace

class tst_E2eFocus : public QObject
{
    Q_OBJECT

    std::vector<std::unique_ptr<QProcess>> m_processes; // the desktop and its windows

    QProcess *spawn(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess *p = m_processes.back().get();
        p->setProcessEnvironment(env);
        p->start(program, args);
        return p;
    }

    // The demo with rules for the two classes (profiles 2 and 3, with DPI stages of their own),
    // then each window in turn takes the focus.
    void journey(const std::function<bool(const QString &cls)> &focus, const QStringList &classes)
    {
        DemoDriver demo;
        QVERIFY(demo.prepare());
        QVERIFY(demo.setStoredValue("setting/name.bin", "profile/profileName", QStringList{"Standard0", "Aim1", "Race2"}));
        const auto list = [](const QList<int> &values) {
            QVariantList out;
            for (int v : values)
                out << v;
            return out;
        };
        QVERIFY(demo.setStoredValue("setting/p2.bin", "mouse/dpiValueArray", list(dpiA)));
        QVERIFY(demo.setStoredValue("setting/p3.bin", "mouse/dpiValueArray", list(dpiB)));
        const QList<std::pair<QString, QVariant>> rules{
            {"enabled", true}, {"desktopProfile", 1}, {"count", 2},
            {"rule1", "class:" + classes[0]}, {"profile1", 2}, {"rule2", "class:" + classes[1]}, {"profile2", 3}};
        for (const auto &[key, value] : rules)
            QVERIFY(demo.setStoredValue(config, "appRules/" + key, value));
        QVERIFY2(demo.start(), qPrintable(demo.error()));
        const QList<QList<int>> held[] = {DemoDriver::dpiCodesFor(dpiA), DemoDriver::dpiCodesFor(dpiB)};
        // Which test window has the focus when the demo starts is the desktop's choice, and the
        // demo follows it at once; the journey starts from the second window's profile, whose
        // notice may come before or after this point.
        QVERIFY(DemoDriver::pollUntil([&] { return focus(classes[1]); }, 20000));
        QVERIFY(DemoDriver::pollUntil([&] { return DemoDriver::dpiCodes(demo.memory()) == held[1]; }, 60000));
        QTRY_COMPARE_WITH_TIMEOUT(demo.storedValue(config, "mouse/profileNo").toInt(), 2, 10000);
        const int notices = demo.notices().size();
        const QString before = QStringLiteral("Profile 3 for %1").arg(classes[1]);
        const auto since = [&] {
            QStringList out = demo.notices(notices);
            if (!out.isEmpty() && out.first() == before)
                out.removeFirst();
            return out;
        };
        QStringList expected;
        for (int i : {0, 1, 0}) {
            QVERIFY(DemoDriver::pollUntil([&] { return focus(classes[i]); }, 20000));
            QVERIFY(DemoDriver::pollUntil([&] { return DemoDriver::dpiCodes(demo.memory()) == held[i]; }, 60000));
            QTRY_COMPARE_WITH_TIMEOUT(demo.storedValue(config, "mouse/profileNo").toInt(), i + 1, 10000);
            // The notice comes once the switch is over.
            expected << QStringLiteral("Profile %1 for %2").arg(i + 2).arg(classes[i]);
            QTRY_COMPARE_WITH_TIMEOUT(since(), expected, 30000);
        }
        const int code = demo.stop();
        QVERIFY2(code == 0, qPrintable(demo.errorLines().mid(demo.errorLines().size() - 15).join('\n')));
    }

private slots:
    void cleanup()
    {
        for (auto &p : m_processes) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
        m_processes.clear();
    }

    void x11()
    {
        const QString openbox = QStandardPaths::findExecutable("openbox");
        if (openbox.isEmpty())
            QSKIP("openbox is not installed (scripts/bootstrap installs it)");
        spawn(openbox, {"--sm-disable"}, QProcessEnvironment::systemEnvironment());
        if (!DemoDriver::pollUntil(windowManagerRuns, 10000))
            QSKIP("openbox did not start on this display");
        QMap<QString, Window> windows;
        const QStringList classes{"ko-focus-a", "ko-focus-b"};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        for (const QString &cls : classes) {
            QProcess *p = spawn(windowProgram, {cls}, env);
            QVERIFY(p->waitForReadyRead(10000));
            windows[cls] = Window(p->readLine().trimmed().toULongLong());
            QVERIFY(windows[cls]);
        }
        journey([&](const QString &cls) { activateX11(windows[cls]); return true; }, classes);
    }

    // sway refuses to run as root; it and its windows run as `nobody` with a runtime folder of
    // their own. The demo stays on the test's X display and follows sway's focus over its IPC.
    void sway()
    {
        const QString sway = QStandardPaths::findExecutable("sway");
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (sway.isEmpty() || setpriv.isEmpty())
            QSKIP("sway or setpriv is not installed (scripts/bootstrap installs sway)");
        if (geteuid() != 0)
            QSKIP("the sway journey needs root to run sway as another account");
        QTemporaryDir runtime;
        const uid_t nobody = 65534;
        QVERIFY(chown(runtime.path().toLocal8Bit(), nobody, nobody) == 0 && chmod(runtime.path().toLocal8Bit(), 0700) == 0);
        QProcessEnvironment env;
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", runtime.path());
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("WLR_BACKENDS", "headless");
        env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
        env.insert("WLR_RENDERER", "pixman");
        const QStringList asNobody{"--reuid=65534", "--regid=65534", "--clear-groups", "--"};
        QFile swayConfig(runtime.filePath("config"));
        QVERIFY(swayConfig.open(QIODevice::WriteOnly) && swayConfig.write("xwayland disable\n") > 0);
        swayConfig.close();
        QProcess *compositor = spawn(setpriv, asNobody + QStringList{sway, "-c", swayConfig.fileName()}, env);
        QString socket, display;
        DemoDriver::pollUntil([&] {
            const QDir dir(runtime.path());
            socket = dir.entryList({"sway-ipc.*.sock"}, QDir::System).value(0);
            display = dir.entryList({"wayland-*"}, QDir::System).filter(QRegularExpression("^wayland-\\d+$")).value(0);
            return (!socket.isEmpty() && !display.isEmpty()) || compositor->state() == QProcess::NotRunning;
        }, 15000);
        if (socket.isEmpty() || display.isEmpty())
            QSKIP(qPrintable("sway did not start: " + QString::fromLocal8Bit(compositor->readAllStandardError()).right(600)));
        socket = runtime.filePath(socket);
        env.insert("WAYLAND_DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "wayland");
        env.insert("XDG_SESSION_TYPE", "wayland");
        const QStringList classes{"ko-focus-c", "ko-focus-d"};
        for (const QString &cls : classes)
            spawn(setpriv, asNobody + QStringList{windowProgram, cls}, env);
        qputenv("SWAYSOCK", socket.toLocal8Bit()); // the demo finds sway by it
        journey([&](const QString &cls) {
            QProcess msg;
            msg.start(QStandardPaths::findExecutable("swaymsg"), {"-s", socket, QStringLiteral("[app_id=\"%1\"] focus").arg(cls)});
            return msg.waitForFinished(5000) && msg.exitCode() == 0;
        }, classes);
        qunsetenv("SWAYSOCK");
    }
};

QTEST_MAIN(tst_E2eFocus)
#include "tst_e2e_focus.moc"
