// The real executables, started as a user would: from another working directory, twice, after a
// crash, from the login entry, and quit through the tray menu. Runs under Xvfb on a private
// session bus, where the test plays the desktop's tray host (the StatusNotifierItem watcher, which
// Qt's tray icon registers with and exports its menu to) and its notification service. The
// program's windows are looked up on the X display.
#include "NotificationService.h"
#include "ShippedData.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
// Xlib's macros would rename Qt's own identifiers (QMetaType::Bool in the generated meta-object code).
#undef Bool
#undef None
#undef Status

#include <signal.h>

namespace {

const char mainTitle[] = "KESTREL ORBIT MOUSE K7";
const char statusTitle[] = "Kestrel Orbit: mouse not found";
const char controlTitle[] = "Virtual mouse";

// The viewable window with this title under `window`, in root coordinates; a null rect when none.
QRect findWindow(Display *display, Window window, const QByteArray &title)
{
    char *name = nullptr;
    QRect found;
    if (XFetchName(display, window, &name) && name) {
        XWindowAttributes a;
        if (QByteArray(name) == title && XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable) {
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
            found = QRect(x, y, a.width, a.height);
        }
        XFree(name);
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (found.isNull() && XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && found.isNull(); ++i)
            found = findWindow(display, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

// The desktop's tray host: tray icons register their StatusNotifierItem here.
class TrayHost : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER hostRegistered)
    Q_PROPERTY(int ProtocolVersion MEMBER protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER items)

public:
    bool hostRegistered = true;
    int protocolVersion = 0;
    QStringList items;

public slots:
    void RegisterStatusNotifierItem(const QString &service) { items << service; }
    void RegisterStatusNotifierHost(const QString &) {}
};

struct MenuEntry
{
    int id = 0;
    QString label;
    int toggleState = -1;
};

// One node of a com.canonical.dbusmenu layout, (ia{sv}av), with its children flattened after it.
void readLayout(const QDBusArgument &argument, QList<MenuEntry> &entries)
{
    MenuEntry entry;
    QVariantMap properties;
    argument.beginStructure();
    argument >> entry.id >> properties;
    entry.label = properties.value(QStringLiteral("label")).toString();
    entry.toggleState = properties.value(QStringLiteral("toggle-state"), -1).toInt();
    entries << entry;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        readLayout(child.variant().value<QDBusArgument>(), entries);
    }
    argument.endArray();
    argument.endStructure();
}

const QRegularExpression traceLine(QStringLiteral("^\\d+ (->|<-) (feature|output|input|event)( [0-9a-f]{2})+$"));

} // namespace

class tst_Program : public QObject
{
    Q_OBJECT

    QTemporaryDir m_install;   // a private copy of the bundle: its own single-instance key
    QTemporaryDir m_elsewhere; // the working directory the program is started from
    QTemporaryDir m_config;    // XDG_CONFIG_HOME of the programs started here
    QDBusConnection m_bus = QDBusConnection::sessionBus();
    TrayHost m_tray;
    NotificationService m_notices;
    Display *m_display = XOpenDisplay(nullptr);

    QRect windowRect(const char *title) { return findWindow(m_display, DefaultRootWindow(m_display), title); }
    bool viewable(const char *title) { return !windowRect(title).isNull(); }

    // Starts a program of the private copy (or one named by its full path) from another folder.
    void start(QProcess &p, const QString &exe, const QStringList &arguments = {}, bool display = true)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        if (!display) {
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        }
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_elsewhere.path());
        p.start(exe.startsWith(QLatin1Char('/')) ? exe : m_install.filePath(exe), arguments);
        QVERIFY(p.waitForStarted());
    }

    static void waitForLine(QProcess &p, QByteArray &seen, const QByteArray &line, bool fromStderr)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            (seen += fromStderr ? p.readAllStandardError() : p.readAllStandardOutput()).contains(line),
            15000);
    }

    // Waits with the event loop running: the programs call the tray host and notification service
    // of this process, also while they quit.
    static bool finished(QProcess &p, int timeoutMs = 15000)
    {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, timeoutMs);
    }

    // The tray item that process `pid` registered (named by its bus connection); empty when none.
    QString trayItemOf(qint64 pid)
    {
        for (const QString &item : m_tray.items) {
            if (m_bus.interface()->servicePid(item).value() == pid)
                return item;
        }
        return {};
    }

    // Offers a tray to programs started from now on (they look for one when they start).
    void offerTray(bool on)
    {
        const QString name = QStringLiteral("org.kde.StatusNotifierWatcher");
        if (on)
            QVERIFY(m_bus.registerService(name));
        else
            m_bus.unregisterService(name);
    }

    // The tray menu of process `pid` as the tray host reads it: a call on it, the entry whose label
    // starts with `label` (mnemonics as the menu shows them), and a click on that.
    QDBusMessage menuCall(qint64 pid, const QString &method)
    {
        const QString item = trayItemOf(pid);
        const QVariant menu = QDBusInterface(item, QStringLiteral("/StatusNotifierItem"),
                                             QStringLiteral("org.kde.StatusNotifierItem"), m_bus).property("Menu");
        return QDBusMessage::createMethodCall(item, menu.value<QDBusObjectPath>().path(),
                                              QStringLiteral("com.canonical.dbusmenu"), method);
    }
    MenuEntry menuEntry(qint64 pid, const QString &label)
    {
        const QDBusMessage reply = m_bus.call(menuCall(pid, QStringLiteral("GetLayout")) << 0 << -1 << QStringList());
        QList<MenuEntry> entries;
        if (reply.arguments().size() == 2)
            readLayout(reply.arguments().at(1).value<QDBusArgument>(), entries);
        for (const MenuEntry &entry : std::as_const(entries)) {
            if (entry.label.startsWith(label))
                return entry;
        }
        return {-1, {}, -2};
    }
    bool clickTrayEntry(qint64 pid, const QString &label)
    {
        const int id = menuEntry(pid, label).id;
        return id >= 0 && m_bus.call(menuCall(pid, QStringLiteral("Event")) << id << QStringLiteral("clicked")
                                     << QVariant::fromValue(QDBusVariant(0)) << 0u).type() == QDBusMessage::ReplyMessage;
    }

    // Quits through the tray menu, as the user does, and returns the exit code (-1: crashed).
    int quitThroughTray(QProcess &p)
    {
        // The menu is exported a moment after the icon registers.
        if (!QTest::qWaitFor([&] { return clickTrayEntry(p.processId(), QStringLiteral("Quit")); }, 10000))
            return -2;
        if (!finished(p))
            return -3;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    static QString dataFolderNamed(const QByteArray &stderrText)
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("demo: settings in (\\S+)/modules,")).match(QString::fromLocal8Bit(stderrText));
        return m.hasMatch() ? m.captured(1) : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(ShippedData::copyTo(m_install.filePath(QStringLiteral("modules"))));
        for (const char *exe : {"kestrel-orbit", "kestrel-orbit-demo"})
            QVERIFY(QFile::copy(QStringLiteral(KO_BUNDLE_DIR "/") + QLatin1String(exe),
                                m_install.filePath(QLatin1String(exe))));
        QVERIFY2(m_bus.isConnected(), "no session bus: run the test under dbus-run-session");
        QVERIFY(m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_tray,
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QVERIFY(m_notices.serve(m_bus));
    }
    void init() { m_notices.notices.clear(); }
    void cleanup() { offerTray(false); }

    // --help needs no display; an unknown option ends the program before it shows. (--version is
    // tst_install's, through the installed link.)
    void helpAndUnknownOption()
    {
        QProcess help, bogus;
        start(help, QStringLiteral("kestrel-orbit"), {QStringLiteral("--help")}, false);
        start(bogus, QStringLiteral("kestrel-orbit"), {QStringLiteral("--bogus")});
        QVERIFY(finished(help) && finished(bogus));
        QCOMPARE(help.exitCode(), 0);
        const QByteArray usage = help.readAllStandardOutput();
        QVERIFY2(usage.startsWith("Usage: kestrel-orbit [options]\n") && usage.contains("--hidden"), usage.constData());
        QCOMPARE(bogus.exitCode(), 2);
        QCOMPARE(bogus.readAllStandardOutput(), QByteArray());
        QVERIFY(bogus.readAllStandardError().contains("kestrel-orbit: Unknown option 'bogus'.\n"));
    }

    // Without a mouse: the status window, a second start that hands over and leaves, the tray's
    // login option, a crash that leaves the lock behind, and the login entry's own start.
    void withoutAMouseFromStartToLogin()
    {
        offerTray(true);
        QProcess first;
        start(first, QStringLiteral("kestrel-orbit"));
        QByteArray err;
        // The shipped table names ids that no device of this machine has.
        waitForLine(first, err, "No mouse: no device of the device table is attached", true);
        QTRY_VERIFY_WITH_TIMEOUT(viewable(statusTitle), 10000);
        QVERIFY(!viewable(mainTitle));

        QProcess second;
        start(second, QStringLiteral("kestrel-orbit"));
        QVERIFY(finished(second));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(!second.readAllStandardError().contains("Device"));
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(viewable(statusTitle) && !viewable(mainTitle));

        // The tray option writes the login entry, which starts the installed program hidden.
        const qint64 pid = first.processId();
        QTRY_VERIFY_WITH_TIMEOUT(!trayItemOf(pid).isEmpty(), 10000);
        QTRY_COMPARE(menuEntry(pid, QStringLiteral("Start at login")).toggleState, 0);
        const QString entry = m_config.filePath(QStringLiteral("autostart/kestrel-orbit.desktop"));
        QVERIFY(clickTrayEntry(pid, QStringLiteral("Start at login")));
        QTRY_VERIFY(QFileInfo::exists(entry));
        QTRY_COMPARE(menuEntry(pid, QStringLiteral("Start at login")).toggleState, 1);
        const QString exec = QRegularExpression(QStringLiteral("^Exec=(.*)$"), QRegularExpression::MultilineOption)
                                 .match(QString::fromUtf8(contents(entry))).captured(1);
        QCOMPARE(exec, m_install.filePath(QStringLiteral("kestrel-orbit")) + QStringLiteral(" --hidden"));
        QVERIFY(clickTrayEntry(pid, QStringLiteral("Start at login")));
        QTRY_VERIFY(!QFileInfo::exists(entry));
        QVERIFY(clickTrayEntry(pid, QStringLiteral("Start at login")));
        QTRY_VERIFY(QFileInfo::exists(entry));

        // A crashed instance leaves its lock and socket behind; the login start is not blocked by
        // them and sits in the tray, its option ticked.
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        first.waitForFinished();
        QProcess atLogin;
        const QStringList command = exec.split(QLatin1Char(' '));
        start(atLogin, command.first(), command.mid(1));
        QByteArray loginErr;
        waitForLine(atLogin, loginErr, "No mouse: no device of the device table is attached", true);
        QTRY_VERIFY_WITH_TIMEOUT(!trayItemOf(atLogin.processId()).isEmpty(), 10000);
        QTRY_COMPARE(menuEntry(atLogin.processId(), QStringLiteral("Start at login")).toggleState, 1);
        QVERIFY(!viewable(mainTitle) && !viewable(statusTitle));
        QCOMPARE(quitThroughTray(atLogin), 0);
    }

    // The demo on its own fresh copy of the data, its control window beside the main window, its
    // standard output the trace alone; quit from the tray menu it ends with 0 and leaves no copy.
    void demoRunsCleanAndQuitsThroughTheTray()
    {
        offerTray(true);
        // What a run with --keep left beside the executable never reaches a plain run's copy.
        QFile beside(m_install.filePath(QStringLiteral("modules/setting/p1.bin")));
        QVERIFY(beside.open(QIODevice::Append));
        beside.write("\n[kept]\nbyAKeptRun=1\n");
        beside.close();
        QProcess demo;
        start(demo, QStringLiteral("kestrel-orbit-demo"));
        QByteArray err, out;
        waitForLine(demo, err, "Device Connect", true);
        waitForLine(demo, out, "<- feature 00", false);
        const QString data = dataFolderNamed(err);
        const QString profile = QStringLiteral("/modules/setting/p1.bin");
        QVERIFY2(!data.isEmpty(), err.constData());
        QCOMPARE(contents(data + profile), contents(ShippedData::dir() + QStringLiteral("/setting/p1.bin")));
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(demo.processId())).symLinkTarget(), data);

        QTRY_VERIFY_WITH_TIMEOUT(viewable(mainTitle) && viewable(controlTitle), 10000);
        QVERIFY(!windowRect(mainTitle).intersects(windowRect(controlTitle)));
        QTRY_VERIFY_WITH_TIMEOUT(!m_notices.notices.filter(QStringLiteral("|Detect Device|")).isEmpty(), 10000);

        QTRY_VERIFY_WITH_TIMEOUT(!trayItemOf(demo.processId()).isEmpty(), 10000);
        // The tray turns the application rules on, with the profile in use as the desktop profile.
        QVERIFY(clickTrayEntry(demo.processId(), QStringLiteral("Profiles by application")));
        QTRY_VERIFY_WITH_TIMEOUT(contents(data + QStringLiteral("/modules/setting/apConfig.bin"))
                                     .contains("[appRules]\ndesktopProfile=1\nenabled=true\n"),
                                 10000);
        QCOMPARE(quitThroughTray(demo), 0);
        QVERIFY(!QFileInfo::exists(data));
        out += demo.readAllStandardOutput();
        for (const QByteArray &line : out.split('\n')) {
            if (!line.isEmpty())
                QVERIFY2(traceLine.match(QString::fromLatin1(line)).hasMatch(), line.constData());
        }

        // --keep works on the files beside the executable; without a tray, and quitting by signal,
        // it runs and ends as cleanly.
        offerTray(false);
        QProcess kept;
        start(kept, QStringLiteral("kestrel-orbit-demo"), {QStringLiteral("--keep")});
        QByteArray keptErr;
        waitForLine(kept, keptErr, "Device Connect", true);
        QVERIFY(dataFolderNamed(keptErr).isEmpty());
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(kept.processId())).symLinkTarget(),
                 QDir(m_install.path()).canonicalPath());
        kept.terminate();
        QVERIFY(finished(kept));
        QCOMPARE(kept.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kept.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
