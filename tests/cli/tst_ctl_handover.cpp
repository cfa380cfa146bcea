// The tool while the program runs: the program, with its real window and its one connection to the
// virtual mouse, carries the command out; the tool never opens a mouse of its own, and the window
// shows the change.
#include "ShippedData.h"
#include "CtlRequests.h"
#include "CtlTool.h"
#include "CtlWire.h"
#include "HostPointerSettings.h"
#include "HotplugMonitor.h"
#include "ProtocolClock.h"
#include "SingleInstance.h"
#include "TrayNotifier.h"
#include "VirtualMouse.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QQmlEngine>
#include <QQmlExpression>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>

namespace {

class QuietNotifier final : public TrayNotifier
{
public:
    void showMessage(const QString &, const QString &, QSystemTrayIcon::MessageIcon, int) override {}
};

// The shipped device table's mouse: a 560 gun model with colours, enciphered.
VirtualMouseConfig shippedMouse()
{
    VirtualMouseConfig c;
    c.family = QStringLiteral("560");
    c.isEncode = c.isGun = c.isColorful = true;
    return c;
}

// Counts the times a widget is disabled (the window's busy lock).
class EnabledWatch : public QObject
{
public:
    EnabledWatch(QWidget *widget, int *disabled) : m_widget(widget), m_disabled(disabled)
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange && !m_widget->isEnabled())
            ++*m_disabled;
        return false;
    }

private:
    QWidget *m_widget;
    int *m_disabled;
};

} // namespace

class tst_CtlHandover : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_modules = m_dir.filePath(QStringLiteral("modules"));
    QString m_key = QStringLiteral("ko-ctl-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    VirtualClock m_clock;
    VirtualMouse m_mouse{shippedMouse(), &m_clock};
    HotplugMonitor m_hotplug;
    QuietNotifier m_notifier;
    HostPointerSettings m_noDesktop; // the desktop's own pointer settings stay as they are
    std::unique_ptr<Widget> m_window;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CtlRequests> m_requests;
    int m_localRuns = 0;

    // What the window's document says.
    QVariant window(const QString &expression)
    {
        QQuickItem *root = m_window->view()->rootObject();
        QQmlExpression e(QQmlEngine::contextForObject(root), root, expression);
        const QVariant v = e.evaluate();
        if (e.hasError())
            qWarning() << e.error();
        return v;
    }

    // The tool, on a thread of its own (it waits for the answer), while this thread runs the program.
    CtlOutput tool(const QStringList &args)
    {
        ToolEnvironment env;
        env.executableDir = m_dir.path();
        env.workingDir = m_dir.path();
        env.programKey = m_key;
        env.onLocalRun = [this] { ++m_localRuns; };
        auto run = QtConcurrent::run([args, env] { return runTool(args, env); });
        if (!QTest::qWaitFor([&] { return run.isFinished(); }, 60000))
            return {-1, {}, QStringLiteral("the tool did not finish")};
        return run.result();
    }

    QString stored(const QString &file, const QString &key)
    {
        const QVariant v = QSettings(QDir(m_modules).filePath(file), QSettings::IniFormat).value(key);
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(',') : v.toString();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ShippedData::copyTo(m_modules));
        // A second profile in the list, to switch to.
        QSettings(QDir(m_modules).filePath("setting/name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Standard0", "Travel1"});
        QFile::remove(QDir(m_modules).filePath("setting/p2.bin"));
        QVERIFY(QFile::copy(QDir(m_modules).filePath("setting/pD.bin"), QDir(m_modules).filePath("setting/p2.bin")));
        QSettings(QDir(m_modules).filePath("setting/p2.bin"), QSettings::IniFormat).setValue("mouse/reportRate", 0);

        WidgetEnvironment env;
        env.backend = &m_mouse;
        env.clock = &m_clock;
        env.hotplug = &m_hotplug;
        env.notifier = &m_notifier;
        env.modulesDir = m_modules;
        env.trayAvailable = [] { return true; };
        m_window = std::make_unique<Widget>(env);
        m_window->view()->setHostPointerSettings(&m_noDesktop);
        m_instance = std::make_unique<SingleInstance>(m_key);
        QVERIFY(!m_instance->isRunning());
        m_requests = std::make_unique<CtlRequests>(*m_instance, *m_window);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        m_window->checkDevice();
        QVERIFY(m_window->deviceConnected());
        QTRY_VERIFY(window("isPownOn").toBool());
    }
    void cleanupTestCase()
    {
        m_requests.reset();
        m_instance.reset();
        m_window.reset();
    }

    void dpiReachesTheProgramsMouseAndWindow()
    {
        const CtlOutput out = tool({"dpi", "set", "--stages", "3", "500", "900", "1300"});
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
        QCOMPARE(m_localRuns, 0);
        QCOMPARE(m_mouse.memory().profileBlocks.value(1).mid(84, 3).toHex(' '), QByteArray("04 08 0c"));
        QCOMPARE(int(uchar(m_mouse.memory().profileBlocks.value(1).at(100))), 0x07);
        QTRY_COMPARE(stored("setting/p1.bin", "mouse/currentDpiCount"), QStringLiteral("3"));
        QCOMPARE(window("dpiSettingMain.currentDpiCount").toInt(), 3);
        QCOMPARE(window("dpiSettingMain.isSave").toBool(), false);
    }

    void buttonsAndRateFollowInTheWindow()
    {
        QVERIFY(tool({"button", "3", "key:F5"}).exitCode == Ctl::Ok);
        QCOMPARE(window("keyMatrixMain.modKeys.get(2).keyCode2").toInt(), 0x3e);
        QCOMPARE(m_mouse.memory().keyMatrices.value(0).mid(8, 4).toHex(' '), QByteArray("00 00 3e 00"));
        QVERIFY(tool({"rate", "set", "250"}).exitCode == Ctl::Ok);
        QCOMPARE(window("reportRateLV.currentSelect").toInt(), 1);
        QCOMPARE(int(m_mouse.memory().reportRate), 4);
        const CtlOutput status = tool({"status"});
        QVERIFY(status.out.contains(QLatin1String("report rate: 250 Hz")));
        QCOMPARE(m_localRuns, 0);
    }

    void profileSwitchMovesTheWindowsChoice()
    {
        const CtlOutput out = tool({"profile", "use", "2"});
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
        QCOMPARE(window("profileMain.profileNo").toInt(), 1);
        QCOMPARE(window("upItem.profileBtn.currentSelect").toInt(), 1);
        QCOMPARE(window("reportRateLV.currentSelect").toInt(), 0);
        QCOMPARE(int(m_mouse.memory().reportRate), 8);
        QTRY_COMPARE(stored("setting/apConfig.bin", "mouse/profileNo"), QStringLiteral("1"));
        QVERIFY(tool({"profile", "use", "1"}).exitCode == Ctl::Ok);
        QCOMPARE(window("profileMain.profileNo").toInt(), 0);
    }

    // The window and the tool's requests go through the program's one connection and its one image of
    // what the mouse holds: a switch sends the same whichever of them asks for it, Save after a change
    // made and taken back sends nothing and locks nothing, a DPI-button press is not lost, and after a
    // replug the first switch sends everything again that the connection did not read.
    void theWindowAndTheToolShareWhatTheMouseHolds()
    {
        const auto outputs = [this] { return int(m_mouse.trace().filter(QStringLiteral(" -> output ")).size()); };
        const auto switched = [this](const QStringList &args) {
            m_mouse.clearTrace();
            const CtlOutput out = tool(args);
            QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
        };
        window("switchProfile(1)");
        window("switchProfile(0)");
        switched({"profile", "use", "2"});
        const int byTool = outputs();
        switched({"profile", "use", "1"});
        m_mouse.clearTrace();
        window("switchProfile(1)");
        QCOMPARE(outputs(), byTool);
        switched({"profile", "use", "2", "--full"});
        QVERIFY(outputs() > byTool);

        int locks = 0;
        EnabledWatch watch(m_window->view(), &locks);
        m_mouse.clearTrace();
        window("keyMatrixMain.isSave = true; dpiSettingMain.isSave = true; lightControlMain.isSave = true; save()");
        QCOMPARE(m_mouse.reportCount(), 0);
        QCOMPARE(locks, 0);
        QVERIFY(m_window->view()->isEnabled());

        // The stage the mouse reports is the one the program believes.
        switched({"dpi", "current", "2"});
        switched({"dpi", "current", "2"});
        QCOMPARE(m_mouse.trace().filter(QStringLiteral(" -> feature ")).size(), 0);
        m_mouse.pressDpiButton(3);
        QTRY_COMPARE(window("dpiSettingMain.currentDPI").toInt(), 2);
        switched({"dpi", "current", "2"});
        QCOMPARE(int(m_mouse.memory().currentDpiStage), 2);

        switched({"profile", "use", "1"});
        const int differs = outputs();
        switched({"profile", "use", "2"});
        QCOMPARE(outputs(), differs);
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        m_mouse.unplug();
        QTRY_VERIFY(!m_window->hid.isListening());
        m_mouse.plugIn();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        m_window->checkDevice();
        QTRY_VERIFY(m_window->view()->isEnabled());
        // Everything but the profile blocks read at connect that hold the profile's values: the key
        // matrices (four reports each) go out again.
        switched({"profile", "use", "1"});
        const int afterReplug = outputs();
        QCOMPARE(afterReplug, differs + 3 * 4);
        switched({"profile", "use", "1", "--full"});
        QVERIFY(outputs() > afterReplug);
    }

    // A request waits while the window itself talks to the mouse.
    void aRequestWaitsForTheWindowsExchange()
    {
        m_window->hid.setHidReady(false);
        QByteArray answer;
        m_requests->handle(CtlWire::encodeRequest({"rate", "set", "--", "500"}), [&](const QByteArray &a) { answer = a; });
        // Its turn comes, and it finds the mouse busy.
        QCoreApplication::processEvents();
        QVERIFY(answer.isEmpty());
        QCOMPARE(int(m_mouse.memory().reportRate), 4);
        m_window->hid.setHidReady(true);
        QTRY_VERIFY(!answer.isEmpty());
        QCOMPARE(int(m_mouse.memory().reportRate), 2);
    }

    // Requests that are not the tool's, or not in its form, change nothing.
    void refusedRequestsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("logged");   // refused before it is queued
        QTest::addColumn<bool>("answered"); // a request of the tool's kind is told why
        QTest::newRow("garbage") << QByteArray("\x00\x01garbage", 9) << true << false;
        QTest::newRow("unknown kind") << QByteArray(R"({"type":"quit","version":1,"args":["x"]})") << true << false;
        QTest::newRow("newer version") << QByteArray(R"({"type":"ctl-request","version":9,"args":["status"]})")
                                       << true << false;
        QTest::newRow("unknown command") << CtlWire::encodeRequest({"reboot"}) << true << true;
        QTest::newRow("relative file name") << CtlWire::encodeRequest({"profile", "export", "--", "1", "p.pf"})
                                            << true << true;
        QTest::newRow("bad value") << CtlWire::encodeRequest({"rate", "set", "--", "333"}) << false << true;
    }
    void refusedRequestsChangeNothing()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, logged);
        QFETCH(bool, answered);
        const int reports = m_mouse.reportCount();
        const QString rate = stored("setting/p1.bin", "mouse/reportRate");
        QByteArray answer;
        bool replied = false;
        if (logged)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^ctl: refused a request: "));
        m_requests->handle(message, [&](const QByteArray &a) {
            answer = a;
            replied = true;
        });
        QCoreApplication::processEvents();
        if (answered) {
            QTRY_VERIFY(!answer.isEmpty());
            QString why;
            QCOMPARE(CtlWire::decodeReply(answer, &why)->exitCode, int(Ctl::Usage));
        } else {
            // Refused: the connection is closed without an answer.
            QVERIFY(replied);
            QVERIFY(answer.isEmpty());
        }
        QCOMPARE(m_mouse.reportCount(), reports);
        QCOMPARE(stored("setting/p1.bin", "mouse/reportRate"), rate);
    }
};

QTEST_MAIN(tst_CtlHandover)
#include "tst_ctl_handover.moc"
