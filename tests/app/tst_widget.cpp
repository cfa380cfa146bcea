// The main window against the virtual mouse, with a hotplug source and a notifier the test controls
// and a recording document in place of the UI: connecting, the status window that tells why no
// mouse connects, notices through the desktop's notification service when there is no tray (a
// private session bus, dbus-run-session), and the start-at-login option (a temporary XDG_CONFIG_HOME).
#include "Autostart.h"
#include "HidapiBackend.h"
#include "HookWiring.h"
#include "InputHook.h"
#include "LanguageStore.h"
#include "NotificationService.h"
#include "StatusWindow.h"
#include "WidgetRig.h"

#include <QAction>
#include <QDBusConnection>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <glib.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <utility>

namespace {

using DeviceDiscovery::NoMouseReason;

// Runs a GUI action in the middle of a device check, as the events the probe lets through do.
class InterruptingBackend : public HidBackend
{
public:
    VirtualHidBus bus;
    std::function<void()> duringCheck;
    int depth = 0, deepest = 0;

    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vid, quint16 pid) override
    {
        deepest = std::max(deepest, ++depth);
        if (auto action = std::exchange(duringCheck, nullptr))
            action();
        --depth;
        return bus.enumerate(vid, pid);
    }
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override { return bus.openPath(path); }
    HidOpenFailure openFailure(const QString &path) override { return bus.openFailure(path); }
};

// How a row breaks the connection of the mouse on the rig's bus, and how it mends it again.
struct Fault
{
    std::function<void(WidgetRig &)> breakIt;
    std::function<void(WidgetRig &)> mend;
};

// A failure the virtual mouse plays on demand, mended by clearing it.
Fault onMouse(void (VirtualMouse::*set)(bool))
{
    return {[set](WidgetRig &r) { (r.mouse.get()->*set)(true); }, [](WidgetRig &r) { r.mouse->clearFailures(); }};
}
Fault inConfig(const char *key, const QVariant &broken, const QVariant &shipped)
{
    return {[=](WidgetRig &r) { r.setConfig(key, broken); }, [=](WidgetRig &r) { r.setConfig(key, shipped); }};
}
const Fault absent{[](WidgetRig &r) { r.bus.detach(r.mouse.get()); },
                   [](WidgetRig &r) { r.bus.attach(r.mouse.get()); }};

// What a desktop runs for an autostart entry: the Exec value read as GLib's launcher reads it
// (string escapes, then the quoting rules, then "%%" as a literal percent sign).
QStringList launchedCommand(const QByteArray &entry)
{
    QStringList argv;
    GKeyFile *file = g_key_file_new();
    if (g_key_file_load_from_data(file, entry.constData(), gsize(entry.size()), G_KEY_FILE_NONE, nullptr)) {
        gchar *exec = g_key_file_get_string(file, "Desktop Entry", "Exec", nullptr);
        gchar **words = nullptr;
        if (exec && g_shell_parse_argv(exec, nullptr, &words, nullptr)) {
            for (gchar **w = words; *w; ++w)
                argv << QString::fromUtf8(*w).replace(QLatin1String("%%"), QLatin1String("%"));
        }
        g_strfreev(words);
        g_free(exec);
    }
    g_key_file_free(file);
    return argv;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class tst_Widget : public QObject
{
    Q_OBJECT

    std::unique_ptr<WidgetRig> m_rig;
    QTemporaryDir m_config;

    std::unique_ptr<Widget> connectedWidget(HidBackend *backend, WidgetEnvironment env = {}, bool desktopNotices = false)
    {
        auto w = m_rig->makeWidget(backend, env, desktopNotices);
        w->showNormal();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        return w;
    }
    static QStringList rootCalls(Widget &w) { return w.view()->rootObject()->property("calls").toStringList(); }
    static QPushButton *statusButton(Widget &w, const char *name)
    {
        return w.statusWindow() ? w.statusWindow()->findChild<QPushButton *>(QLatin1String(name)) : nullptr;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }
    void init()
    {
        m_rig = std::make_unique<WidgetRig>();
        setDpiNoticeTexts({});
    }
    void cleanup() { m_rig.reset(); }

    // No mouse connects: the reason is logged once per change, the main window stays hidden (also
    // for the tray and a second start), the status window says why in the user's language, and
    // once the mouse connects it closes; broken again, the reason is a change again.
    void withoutAMouse_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("line");
        const QString noDevice = QStringLiteral("No mouse: no device of the device table is attached");
        const QString noAnswer = QStringLiteral("No mouse: the device at <path> did not answer the challenge");
        QTest::newRow("nothing attached") << absent << "English" << int(NoMouseReason::NoDevice) << noDevice;
        QTest::newRow("empty device table") << inConfig("common/deviceCount", 0, 2) << "ChineseSimplified"
                                            << int(NoMouseReason::NoDevice) << noDevice;
        // The mouse is there, but only its event interface matches: the entry is skipped.
        QTest::newRow("only the event interface") << inConfig("1/usage", "1234", "ff00") << "English"
                                                  << int(NoMouseReason::NoDevice) << noDevice;
        QTest::newRow("permission denied")
            << onMouse(&VirtualMouse::setOpenDenied) << "ChineseSimplified" << int(NoMouseReason::PermissionDenied)
            << "No mouse: permission denied on <path> (the udev rule is missing or not loaded, or the mouse was "
               "plugged in before it was)";
        QTest::newRow("no answer to the challenge") << onMouse(&VirtualMouse::setWrongChallengeAnswer) << "English"
                                                    << int(NoMouseReason::NoAnswer) << noAnswer;
        QTest::newRow("silent mouse") << onMouse(&VirtualMouse::setNoReply) << "ChineseSimplified"
                                      << int(NoMouseReason::NoAnswer) << noAnswer;
    }
    void withoutAMouse()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, language);
        QFETCH(int, reason);
        QFETCH(QString, line);
        line.replace(QLatin1String("<path>"), m_rig->mouse->commandPath());
        m_rig->setConfig(QStringLiteral("common/language"), language);
        m_rig->bus.attach(m_rig->mouse.get());
        fault.breakIt(*m_rig);
        WidgetEnvironment tray;
        tray.trayAvailable = [] { return true; };
        auto w = m_rig->makeWidget(&m_rig->bus, tray);
        LogCapture log;
        w->startUp(true); // a hidden start shows no window
        QVERIFY(!w->statusWindow() || !w->statusWindow()->isVisible());
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        w->receiveMessage(QString()); // a second start shows the status window, not the main window
        QCoreApplication::processEvents();
        QVERIFY(!w->isVisible());
        QVERIFY(m_rig->notifier.shown.isEmpty());
        QCOMPARE(log.count(line), 1);
        QCOMPARE(log.count(QStringLiteral("Device DisConnect")), 2);
        QVERIFY(w->lastOutcome() && !w->lastOutcome()->connected);
        QCOMPARE(int(w->lastOutcome()->reason), reason);
        if (reason == int(NoMouseReason::NoDevice))
            QCOMPARE(m_rig->mouse->reportCount(), 0);

        const QStringList texts = LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("status"), language);
        QCOMPARE(texts.size(), int(StatusWindow::TextCount));
        const int headline = reason == int(NoMouseReason::NoDevice)   ? StatusWindow::NoDeviceHeadline
            : reason == int(NoMouseReason::PermissionDenied) ? StatusWindow::PermissionHeadline
                                                             : StatusWindow::NoAnswerHeadline;
        QStringList expected{texts[headline], texts[headline + 1]};
        if (reason == int(NoMouseReason::PermissionDenied))
            expected << QStringLiteral("sudo udevadm control --reload-rules\nsudo udevadm trigger --subsystem-match=hidraw");
        QVERIFY(w->statusWindow() && w->statusWindow()->isVisible());
        QCOMPARE(w->statusWindow()->shownText(), expected.join('\n'));
        QCOMPARE(w->statusWindow()->windowTitle(), texts[StatusWindow::Title]);
        QCOMPARE(statusButton(*w, "checkAgain")->text(), texts[StatusWindow::CheckAgain]);
        QCOMPARE(w->startAtLoginAction()->text(), texts[StatusWindow::StartAtLogin]);

        fault.mend(*m_rig);
        w->checkDevice();
        QVERIFY(w->deviceConnected() && !w->statusWindow()->isVisible());
        fault.breakIt(*m_rig);
        w->checkDevice();
        QCOMPARE(log.count(line), 2);
    }

    // Without a tray: a user's start shows the status window with the note that the program runs
    // on, once; "Check again" tells the new reason, and once the mouse connects the window closes
    // by itself, the main window instead.
    void statusWindowComesAndGoes()
    {
        InterruptingBackend backend;
        backend.bus.attach(m_rig->mouse.get());
        m_rig->mouse->setOpenDenied(true);
        WidgetEnvironment noTray;
        noTray.trayAvailable = [] { return false; };
        auto w = m_rig->makeWidget(&backend, noTray);
        w->startUp(false);
        const QString note = StatusWindow::loadTexts(m_rig->modules).at(StatusWindow::BackgroundNote);
        QVERIFY(w->statusWindow()->shownText().endsWith(note));
        QCOMPARE(w->statusWindow()->reason(), NoMouseReason::PermissionDenied);
        w->checkDevice(); // an open window keeps what it says
        QVERIFY(w->statusWindow()->shownText().endsWith(note));
        QTest::mouseClick(statusButton(*w, "close"), Qt::LeftButton);
        QVERIFY(!w->statusWindow()->isVisible());
        w->receiveMessage(QString());
        QVERIFY(w->statusWindow()->isVisible());
        QVERIFY(!w->statusWindow()->shownText().contains(note));

        m_rig->mouse->setOpenDenied(false);
        m_rig->mouse->setWrongChallengeAnswer(true);
        QTest::mouseClick(statusButton(*w, "checkAgain"), Qt::LeftButton);
        QCOMPARE(w->statusWindow()->reason(), NoMouseReason::NoAnswer);
        QVERIFY(w->statusWindow()->isVisible());
        // "Check again" pressed (or a second start) while a check runs: the check comes after it.
        backend.duringCheck = [&] { QTest::mouseClick(statusButton(*w, "checkAgain"), Qt::LeftButton); };
        w->checkDevice();
        QCOMPARE(backend.deepest, 1);
        QVERIFY(w->checkTimer.isActive());
        m_rig->mouse->clearFailures();
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected() && !w->statusWindow()->isVisible(), 5000);
        QTRY_VERIFY(w->isVisible());
    }

    void connectingAnnouncesReadsBlocksAndStartsTheUi_data()
    {
        QTest::addColumn<QString>("icType");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<QStringList>("blocksRead");
        QTest::newRow("560 gun model") << "560" << true << QStringList{"00", "01", "02", "03", "04"};
        QTest::newRow("560 without gun") << "560" << false << QStringList{"00", "01"};
        QTest::newRow("553") << "553" << true << QStringList{};
    }
    void connectingAnnouncesReadsBlocksAndStartsTheUi()
    {
        QFETCH(QString, icType);
        QFETCH(bool, isGun);
        QFETCH(QStringList, blocksRead);
        m_rig->setConfig(QStringLiteral("mouse/icType"), icType);
        m_rig->setConfig(QStringLiteral("mouse/isGun"), isGun);
        VirtualMouseConfig c = demoMouse();
        c.family = icType;
        m_rig->mouse = std::make_unique<VirtualMouse>(c, &m_rig->clock);
        auto w = connectedWidget(m_rig->mouse.get());
        QVERIFY(w->deviceConnected() && w->isVisible() && w->view()->isEnabled());
        QVERIFY(w->hid.isListening());
        QCOMPARE(m_rig->notifier.shown, QStringList{"Info|Detect Device|1|10000"}); // title|text|icon|ms
        QStringList reads;
        for (const QString &line : m_rig->mouse->trace())
            if (line.contains(QLatin1String("<- feature 00 8c")))
                reads << line.section(QLatin1Char(' '), 5, 5);
        QCOMPARE(reads, blocksRead);
        // initUI, then run, each at its own turn of the event loop.
        QVERIFY(rootCalls(*w).isEmpty());
        QTRY_COMPARE(rootCalls(*w), QStringList({"initUI", "run"}));
    }

    void lowerGroupWinsAndLaterGroupsAreNotProbed()
    {
        // The shipped table's group 0 (pid 8008, report length 64, plain) and group 1 (the mouse)
        // are both attached: group 0 connects and group 1 is never spoken to.
        VirtualMouseConfig first = demoMouse();
        first.pid = 0x8008;
        first.reportLength = 64;
        first.isEncode = false;
        VirtualMouse keyboardType(first, &m_rig->clock);
        m_rig->bus.attach(m_rig->mouse.get());
        m_rig->bus.attach(&keyboardType);
        auto w = connectedWidget(&m_rig->bus);
        m_rig->bus.detach(&keyboardType);
        QCOMPARE(w->hid.currentIndex(), 0);
        QVERIFY(keyboardType.reportCount() > 0);
        QCOMPARE(m_rig->mouse->reportCount(), 0);
    }

    // One connection, without a tray, so that the notices travel through the session bus as to
    // another process: the DPI notice, the tray and a second start bringing the window back,
    // device changes (ignored while listening, coalesced after an unplug), reconnecting, the
    // balloons going to a tray again once there is one, and none after quitting.
    void aConnectedSession()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
        QVERIFY2(bus.isConnected(), "no session bus: run the test under dbus-run-session");
        NotificationService service;
        QVERIFY(service.serve(bus));
        bool tray = false;
        WidgetEnvironment env;
        env.trayAvailable = [&tray] { return tray; };
        auto w = connectedWidget(m_rig->mouse.get(), env, true);
        auto notice = [](int replaces, const QString &body) {
            return QStringLiteral("Kestrel Orbit|%1|dialog-information|Info|%2|10000").arg(replaces).arg(body);
        };
        m_rig->mouse->pressDpiButton(3);
        QTRY_COMPARE_WITH_TIMEOUT(service.notices, QStringList({notice(0, "Detect Device"), notice(42, "DPI Switch to ")}),
                                  5000);
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 2);
        // Texts from the language file; stages outside 1..7 take the last entry. (Which reports are
        // stages is the listener's, tst_hid_protocol.)
        LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("other"), QStringLiteral("English"));
        QVERIFY(dpiNoticeText(7) != QLatin1String("DPI Switch to"));
        // One at a time: a notice given while the last is on its way takes its place.
        m_rig->mouse->pressDpiButton(7);
        QTRY_COMPARE(service.notices.size(), 3);
        m_rig->mouse->sendEventReport(QByteArray::fromHex("06070000"));
        QTRY_COMPARE(service.notices.size(), 4);
        m_rig->mouse->pressDpiButton(9);
        QTRY_COMPARE(service.notices.size(), 5);
        const QString other = dpiNoticeText(0) + QLatin1Char(' ');
        QCOMPARE(service.notices.mid(2),
                 QStringList({notice(43, dpiNoticeText(7) + " "), notice(44, other), notice(45, other)}));
        QVERIFY(rootCalls(*w).contains(QStringLiteral("setCurrentDPI 0")));
        QCOMPARE(w->view()->rootObject()->property("currentDPI").toInt(), 8);

        // A single click leaves the window as it is; a double click and a second start bring it back.
        w->showMinimized();
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
        QVERIFY(w->isMinimized());
        w->trayIconActivated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(w->isVisible() && !w->isMinimized());
        w->hide();
        w->receiveMessage(QStringLiteral("any text"));
        QTRY_VERIFY(w->isVisible());

        m_rig->hotplug.report();
        QVERIFY(!w->checkTimer.isActive());
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        m_rig->mouse->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!w->view()->isEnabled() && !w->hid.isListening(), 3000);
        QSignalSpy checks(&w->checkTimer, &QTimer::timeout);
        m_rig->hotplug.report();
        QTRY_VERIFY(w->checkTimer.remainingTime() < 1900);
        const int before = w->checkTimer.remainingTime();
        m_rig->hotplug.report();
        QVERIFY(w->checkTimer.remainingTime() > before); // restarted, not stacked
        QCOMPARE(w->checkTimer.interval(), 2048);
        QTest::ignoreMessage(QtDebugMsg, "Device DisConnect");
        QTRY_COMPARE_WITH_TIMEOUT(checks.count(), 1, 5000);
        QVERIFY(!w->checkTimer.isActive() && !w->deviceConnected());
        m_rig->mouse->plugIn();
        m_rig->hotplug.report();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected() && w->view()->isEnabled(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(service.notices.size(), 6, 5000);
        m_rig->mouse->pressDpiButton(2);
        QTRY_COMPARE_WITH_TIMEOUT(service.notices.size(), 7, 3000);

        tray = true;
        const QString shown = QStringLiteral("setCurrentDPI %1").arg(m_rig->mouse->pressDpiButton());
        QTRY_VERIFY(rootCalls(*w).contains(shown));
        tray = false;
        // Quit while listening: no notice after it, also for a report already on its way.
        w->exitSYS();
        QVERIFY(!w->hid.isListening());
        m_rig->mouse->pressDpiButton(4);
        w.reset(); // waits for the listener's current read to end
        QCoreApplication::processEvents();
        QCOMPARE(service.notices.size(), 7);
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    }

    void capturedKeysAndButtonsReachTheDocumentAfterTheHookReturns()
    {
        auto w = m_rig->makeWidget(nullptr);
        InputHook hook(false, {});
        connectInputHook(hook, *w);
        hook.keyEvent({0x1E, false, false, true}); // A pressed
        hook.keyEvent({0x1E, false, false, true}); // auto-repeat: no second report
        hook.keyEvent({0x1C, true, false, true});  // keypad Enter
        hook.buttonEvent({KeyTranslation::MouseButton::Right, true, -3, 7});
        QVERIFY(rootCalls(*w).isEmpty()); // queued, not called from inside the hook
        QTRY_COMPARE(rootCalls(*w), QStringList({"detectKeyboard true 4", "detectKeyboard true 88",
                                                 "detectMouse true 241 4294967293 7"}));
    }

    // The window's English texts stand in for a language file without the section (a user's copy of
    // modules/ made by an older release), and they are the English file's. The README gives the
    // user the same commands as the window.
    void textsOutsideTheLanguageFile()
    {
        QCOMPARE(LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("status"), QStringLiteral("English")),
                 StatusWindow::defaultTexts());
        m_rig->setConfig(QStringLiteral("common/language"), QStringLiteral("Klingon"));
        QCOMPARE(StatusWindow::loadTexts(m_rig->modules), StatusWindow::defaultTexts());
        QFile file(QStringLiteral(KO_SOURCE_DIR "/README.md"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString readme = QString::fromUtf8(file.readAll());
        QVERIFY(readme.contains(QLatin1String("## If the mouse is not found")));
        for (const QString &command : StatusWindow::permissionCommands().split('\n'))
            QVERIFY2(readme.contains(QLatin1String("\n    ") + command + QLatin1Char('\n')), qPrintable(command));
    }

    void hidapiBackendTellsWhyAPathDoesNotOpen()
    {
        QTemporaryDir dir;
        const QString node = dir.filePath(QStringLiteral("hidraw9"));
        QFile file(node);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        HidapiBackend backend;
        QCOMPARE(backend.openFailure(node), HidOpenFailure::None);
        QCOMPARE(backend.openFailure(dir.filePath(QStringLiteral("gone"))), HidOpenFailure::Gone);
        if (::geteuid() == 0)
            QSKIP("root opens any node; the permission case needs an ordinary user");
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        QCOMPARE(backend.openFailure(node), HidOpenFailure::PermissionDenied);
    }

    // The login entry desktops accept (desktop-file-validate), whose Exec line runs exactly this
    // program with --hidden wherever it is installed.
    void loginEntryRunsExactlyTheProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "/usr/local/lib/kestrel-orbit/kestrel-orbit";
        QTest::newRow("space") << "/opt/Kestrel Orbit/kestrel-orbit";
        QTest::newRow("quotes and dollar") << "/home/a\"b/it's/$HOME/kestrel-orbit";
        QTest::newRow("backslash and backtick") << "/tmp/back\\slash/`tick`/kestrel-orbit";
        QTest::newRow("percent") << "/tmp/100%/%f/kestrel-orbit";
        QTest::newRow("shell characters") << "/tmp/~x/(a);b&c|d*?#<e>/kestrel-orbit";
        QTest::newRow("not ASCII") << QString::fromUtf8("/home/用户/kestrel-orbit");
    }
    void loginEntryRunsExactlyTheProgram()
    {
        QFETCH(QString, program);
        const QByteArray entry = Autostart::entryText(program);
        QCOMPARE(launchedCommand(entry), QStringList({program, QStringLiteral("--hidden")}));
        QFile file(m_rig->dir.filePath(QStringLiteral("kestrel-orbit.desktop")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry);
        file.close();
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {file.fileName()});
        QVERIFY2(validate.waitForFinished(), "desktop-file-validate did not run (package desktop-file-utils)");
        const QString out = QString::fromUtf8(validate.readAll()).trimmed();
        QVERIFY2(validate.exitCode() == 0 && out.isEmpty(), qPrintable(out));
    }

    // The tray option follows the entry when changed elsewhere (removed, or switched off by the
    // desktop's settings) as the menu opens; where it cannot be written it stays off and says so.
    void loginOptionFollowsTheEntry()
    {
        QFile::remove(Autostart::entryPath());
        auto w = m_rig->makeWidget(nullptr);
        QAction *option = w->startAtLoginAction();
        option->trigger();
        QFile file(Autostart::entryPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden=true\n");
        file.close();
        emit w->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!option->isChecked());
        QVERIFY(QFile::exists(Autostart::entryPath())); // the desktop's choice, kept
        option->trigger();
        QVERIFY(option->isChecked() && Autostart::isEnabled());
        QVERIFY(QFile::remove(Autostart::entryPath()));
        emit w->trayIcon->contextMenu()->aboutToShow();
        QVERIFY(!option->isChecked());

        const QString blocked = m_rig->dir.filePath(QStringLiteral("config"));
        QFile blocker(blocked); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Start at login: cannot change %1")
                                                        .arg(blocked + QStringLiteral("/autostart/kestrel-orbit.desktop"))));
        option->trigger();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QVERIFY(!option->isChecked());
    }
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
