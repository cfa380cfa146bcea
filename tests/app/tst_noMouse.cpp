// When no mouse connects: the reason found (and logged once), the status window that tells the
// user, and the notices that reach the desktop's notification service when there is no tray.
// Runs on a private session bus (dbus-run-session) with a notification service of its own.
#include "HidapiBackend.h"
#include "LanguageStore.h"
#include "StatusWindow.h"
#include "WidgetRig.h"

#include <QDBusConnection>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <optional>
#include <utility>

#include <unistd.h>

namespace {

using DeviceDiscovery::NoMouseReason;

// Stands in for the desktop's notification daemon.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice
    {
        QString app;
        uint replacesId;
        QString icon, summary, body;
        int timeout;
        uint id;
    };
    QList<Notice> notices;

public slots:
    uint Notify(const QString &app, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &, int timeout)
    {
        const uint id = replacesId ? replacesId : uint(41 + notices.size());
        notices.append({app, replacesId, icon, summary, body, timeout, id});
        return id;
    }
};

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

// How a row breaks the connection, and how it mends it again.
struct Fault
{
    std::function<HidBackend *(WidgetRig &)> backend;
    std::function<void(WidgetRig &)> breakIt;
    std::function<void(WidgetRig &)> mend;
};

// A failure the virtual mouse plays on demand, mended by clearing it.
Fault onMouse(void (VirtualMouse::*set)(bool))
{
    return {[](WidgetRig &r) -> HidBackend * { return r.mouse.get(); }, [set](WidgetRig &r) { (r.mouse.get()->*set)(true); },
            [](WidgetRig &r) { r.mouse->clearFailures(); }};
}
// Nothing attached: the mouse leaves the bus.
const Fault absent{[](WidgetRig &r) -> HidBackend * { return &r.bus; }, [](WidgetRig &r) { r.bus.detach(r.mouse.get()); },
                   [](WidgetRig &r) { r.bus.attach(r.mouse.get()); }};

} // namespace

class tst_NoMouse : public QObject
{
    Q_OBJECT

    std::unique_ptr<WidgetRig> m_rig;

    QPushButton *statusButton(Widget &w, const char *name)
    {
        return w.statusWindow() ? w.statusWindow()->findChild<QPushButton *>(QLatin1String(name)) : nullptr;
    }

private slots:
    void init() { m_rig = std::make_unique<WidgetRig>(); }
    void cleanup() { m_rig.reset(); }

    void reasonIsToldAndLoggedOncePerChange_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("line");
        const QString noAnswer = QStringLiteral("No mouse: the device at <path> did not answer the challenge");
        QTest::newRow("nothing attached") << absent << int(NoMouseReason::NoDevice)
                                          << "No mouse: no device of the device table is attached";
        QTest::newRow("permission denied")
            << onMouse(&VirtualMouse::setOpenDenied) << int(NoMouseReason::PermissionDenied)
            << "No mouse: permission denied on <path> (the udev rule is missing or not loaded, or the mouse was "
               "plugged in before it was)";
        QTest::newRow("no answer to the challenge") << onMouse(&VirtualMouse::setWrongChallengeAnswer)
                                                    << int(NoMouseReason::NoAnswer) << noAnswer;
        QTest::newRow("silent mouse") << onMouse(&VirtualMouse::setNoReply) << int(NoMouseReason::NoAnswer) << noAnswer;
    }
    void reasonIsToldAndLoggedOncePerChange()
    {
        QFETCH(Fault, fault);
        QFETCH(int, reason);
        QFETCH(QString, line);
        line.replace(QLatin1String("<path>"), m_rig->mouse->commandPath());
        fault.breakIt(*m_rig);
        auto w = m_rig->makeWidget(fault.backend(*m_rig));
        LogCapture log;
        for (int check = 0; check < 4; ++check)
            w->checkDevice();
        QCOMPARE(log.count(line), 1);
        QCOMPARE(log.count(QStringLiteral("Device DisConnect")), 4);
        QVERIFY(w->lastOutcome() && !w->lastOutcome()->connected);
        QCOMPARE(int(w->lastOutcome()->reason), reason);

        // Connected in between, the same fault is a change again.
        fault.mend(*m_rig);
        w->checkDevice();
        QVERIFY(w->deviceConnected());
        fault.breakIt(*m_rig);
        w->checkDevice();
        w->checkDevice();
        QCOMPARE(log.count(line), 2);
    }

    void statusWindowSaysWhyInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("headline");
        QTest::addColumn<bool>("commands");
        const Fault denied = onMouse(&VirtualMouse::setOpenDenied), silent = onMouse(&VirtualMouse::setWrongChallengeAnswer);
        for (const QString language : {"English", "ChineseSimplified"}) {
            QTest::addRow("%s, permission", qPrintable(language))
                << language << denied << int(StatusWindow::PermissionHeadline) << true;
            QTest::addRow("%s, no answer", qPrintable(language))
                << language << silent << int(StatusWindow::NoAnswerHeadline) << false;
            QTest::addRow("%s, no device", qPrintable(language))
                << language << absent << int(StatusWindow::NoDeviceHeadline) << false;
        }
    }
    void statusWindowSaysWhyInTheUsersLanguage()
    {
        QFETCH(QString, language);
        QFETCH(Fault, fault);
        QFETCH(int, headline);
        QFETCH(bool, commands);
        m_rig->setConfig(QStringLiteral("common/language"), language);
        fault.breakIt(*m_rig);
        WidgetEnvironment tray;
        tray.trayAvailable = [] { return true; };
        auto w = m_rig->makeWidget(fault.backend(*m_rig), tray);
        w->startUp(false);
        QVERIFY(!w->isVisible());
        QVERIFY(w->statusWindow() && w->statusWindow()->isVisible());

        const QStringList texts = LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("status"), language);
        QCOMPARE(texts.size(), int(StatusWindow::TextCount));
        QStringList expected{texts[headline], texts[headline + 1]};
        if (commands)
            expected << QStringLiteral("sudo udevadm control --reload-rules\n"
                                       "sudo udevadm trigger --subsystem-match=hidraw");
        QCOMPARE(w->statusWindow()->shownText(), expected.join('\n'));
        QCOMPARE(w->statusWindow()->windowTitle(), texts[StatusWindow::Title]);
        QCOMPARE(statusButton(*w, "checkAgain")->text(), texts[StatusWindow::CheckAgain]);
        QCOMPARE(w->startAtLoginAction()->text(), texts[StatusWindow::StartAtLogin]);
    }

    // Shown on a user's start and on a hand-over, never on a hidden start; "Check again" tells the
    // new reason, and once the mouse connects the window closes by itself, the main window instead.
    void statusWindowComesAndGoes()
    {
        m_rig->mouse->setOpenDenied(true);
        auto w = m_rig->makeWidget(m_rig->mouse.get());
        w->startUp(true);
        QVERIFY(!w->isVisible() && !w->deviceConnected());
        QVERIFY(!w->statusWindow() || !w->statusWindow()->isVisible());

        w->receiveMessage(QString());
        QVERIFY(w->statusWindow() && w->statusWindow()->isVisible());
        QCOMPARE(w->statusWindow()->reason(), NoMouseReason::PermissionDenied);
        QTest::mouseClick(statusButton(*w, "close"), Qt::LeftButton);
        QVERIFY(!w->statusWindow()->isVisible());
        w->receiveMessage(QString());
        QVERIFY(w->statusWindow()->isVisible());

        m_rig->mouse->setOpenDenied(false);
        m_rig->mouse->setWrongChallengeAnswer(true);
        QTest::mouseClick(statusButton(*w, "checkAgain"), Qt::LeftButton);
        QCOMPARE(w->statusWindow()->reason(), NoMouseReason::NoAnswer);
        QVERIFY(w->statusWindow()->isVisible());
        m_rig->mouse->clearFailures();
        QTest::mouseClick(statusButton(*w, "checkAgain"), Qt::LeftButton);
        QVERIFY(w->deviceConnected() && !w->statusWindow()->isVisible());
        QTRY_VERIFY(w->isVisible());
    }

    // "Check again" pressed (or a second start) while a check runs: the check comes after it.
    void aCheckAskedForDuringACheckComesAfterIt()
    {
        InterruptingBackend backend;
        auto w = m_rig->makeWidget(&backend);
        w->startUp(false);
        backend.duringCheck = [&] { QTest::mouseClick(statusButton(*w, "checkAgain"), Qt::LeftButton); };
        w->checkDevice();
        QCOMPARE(backend.deepest, 1);
        QVERIFY(w->checkTimer.isActive());
        backend.bus.attach(m_rig->mouse.get());
        QTRY_VERIFY_WITH_TIMEOUT(w->deviceConnected(), 5000);
        backend.bus.detach(m_rig->mouse.get());
    }

    // Without a tray nothing shows the program still runs: the status window says so, once.
    void backgroundNoteOnlyWithoutATrayAndOnce_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void backgroundNoteOnlyWithoutATrayAndOnce()
    {
        QFETCH(bool, tray);
        WidgetEnvironment env;
        env.trayAvailable = [tray] { return tray; };
        auto w = m_rig->makeWidget(nullptr, env);
        w->startUp(false);
        const QString note = StatusWindow::loadTexts(m_rig->modules).at(StatusWindow::BackgroundNote);
        QCOMPARE(w->statusWindow()->shownText().endsWith(note), !tray);
        w->checkDevice(); // an open window keeps what it says
        QCOMPARE(w->statusWindow()->shownText().endsWith(note), !tray);
        w->statusWindow()->hide();
        w->receiveMessage(QString());
        QVERIFY(w->statusWindow()->isVisible());
        QVERIFY(!w->statusWindow()->shownText().contains(note));
    }

    void noticesGoToTheNotificationServiceWithoutATray()
    {
        // A connection of its own, so that the notices travel through the bus as from another process.
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
        QVERIFY2(bus.isConnected(), "no session bus: run the test under dbus-run-session");
        NotificationService service;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        LanguageStore(m_rig->modules).getLangStrings(QStringLiteral("other"), QStringLiteral("English"));

        bool tray = false;
        WidgetEnvironment env;
        env.trayAvailable = [&tray] { return tray; };
        auto w = m_rig->makeWidget(m_rig->mouse.get(), env, true);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        w->checkDevice();
        const int stage = m_rig->mouse->pressDpiButton();
        QTRY_COMPARE_WITH_TIMEOUT(service.notices.size(), 2, 5000);
        const NotificationService::Notice &first = service.notices.at(0), &second = service.notices.at(1);
        QCOMPARE(first.body, QStringLiteral("Detect Device"));
        QCOMPARE(second.body, QStringLiteral("DPI Switch to %1 ").arg(stage));
        for (const auto &n : service.notices) {
            QCOMPARE(n.summary, QStringLiteral("Info"));
            QCOMPARE(n.icon, QStringLiteral("dialog-information"));
            QCOMPARE(n.timeout, 10000);
            QCOMPARE(n.app, QStringLiteral("Kestrel Orbit"));
        }
        // Each notice takes the place of the last, as a balloon does.
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(second.replacesId, first.id);

        // With a tray the balloons go there again.
        tray = true;
        const QString shown = QStringLiteral("setCurrentDPI %1").arg(m_rig->mouse->pressDpiButton());
        QTRY_VERIFY(w->view()->rootObject()->property("calls").toStringList().contains(shown));
        QCoreApplication::processEvents();
        QCOMPARE(service.notices.size(), 2);
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
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
};

QTEST_MAIN(tst_NoMouse)
#include "tst_noMouse.moc"
