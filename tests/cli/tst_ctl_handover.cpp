// The tool while the program runs. In-process with the real window and its one connection to the
// virtual mouse: the program carries the command out and shows it, both share one image of what the
// mouse holds, a request waits for the window's exchange, malformed requests change nothing. Then the
// real tool beside the real demo under Xvfb: the hand-over, foreign messages refused, and the build's
// data written by `--virtual` never reaching a fresh copy.
#include "CtlRequests.h"
#include "CtlRig.h"
#include "CtlTool.h"
#include "CtlWire.h"
#include "DemoDriver.h"
#include "HostPointerSettings.h"
#include "SingleInstance.h"
#include "WidgetRig.h"

#include <QLocalSocket>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>

// Counts the times a widget is disabled (the window's busy lock).
struct LockCount : QObject
{
    explicit LockCount(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        count += event->type() == QEvent::EnabledChange && !static_cast<QWidget *>(watched)->isEnabled();
        return false;
    }
    int count = 0;
};

class tst_CtlHandover : public QObject
{
    Q_OBJECT

    WidgetRig m_rig;
    QString m_key = QStringLiteral("ko-ctl-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    HostPointerSettings m_noDesktop; // the desktop's own pointer settings stay as they are
    std::unique_ptr<Widget> m_window;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CtlRequests> m_requests;
    int m_localRuns = 0;

    VirtualMouse &mouse() { return *m_rig.mouse; }
    // What the window's document says.
    QString window(const QString &expression)
    {
        QQuickItem *root = m_window->view()->rootObject();
        QQmlExpression e(QQmlEngine::contextForObject(root), root, expression);
        const QVariant v = e.evaluate();
        if (e.hasError())
            qWarning() << e.error();
        return v.toString();
    }
    // The tool, on a thread of its own (it waits for the answer), while this thread runs the program.
    CtlOutput tool(const QStringList &args)
    {
        ToolEnvironment env;
        env.executableDir = env.workingDir = m_rig.dir.path();
        env.programKey = m_key;
        env.onLocalRun = [this] { ++m_localRuns; };
        auto run = QtConcurrent::run([args, env] { return runTool(args, env); });
        if (!QTest::qWaitFor([&] { return run.isFinished(); }, 60000))
            return {-1, {}, QStringLiteral("the tool did not finish")};
        return run.result();
    }
    QString stored(const QString &file, const QString &key)
    {
        return QSettings(m_rig.modules + QLatin1Char('/') + file, QSettings::IniFormat).value(key).toString();
    }
    // Runs `args` with the tool and clears the trace before, so that it holds that command's reports.
    void switched(const QStringList &args)
    {
        mouse().clearTrace();
        const CtlOutput out = tool(args);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
    }
    int outputs() { return int(mouse().trace().filter(QStringLiteral(" -> output ")).size()); }

private slots:
    void initTestCase()
    {
        // A second profile in the list, to switch to, with another report rate.
        QSettings(m_rig.modules + "/setting/name.bin", QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Standard0", "Travel1"});
        QFile::remove(m_rig.modules + "/setting/p2.bin");
        QVERIFY(QFile::copy(m_rig.modules + "/setting/pD.bin", m_rig.modules + "/setting/p2.bin"));
        QSettings(m_rig.modules + "/setting/p2.bin", QSettings::IniFormat).setValue("mouse/reportRate", 0);
        WidgetEnvironment env;
        env.backend = &mouse();
        env.clock = &m_rig.clock;
        env.hotplug = &m_rig.hotplug;
        env.notifier = &m_rig.notifier;
        env.modulesDir = m_rig.modules;
        env.trayAvailable = [] { return true; };
        m_window = std::make_unique<Widget>(env);
        m_window->view()->setHostPointerSettings(&m_noDesktop);
        m_instance = std::make_unique<SingleInstance>(m_key);
        QVERIFY(!m_instance->isRunning());
        m_requests = std::make_unique<CtlRequests>(*m_instance, *m_window);
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        m_window->checkDevice();
        QVERIFY(m_window->deviceConnected());
        QTRY_COMPARE(window("isPownOn"), QStringLiteral("true"));
    }
    void commandsReachTheProgramsMouseAndWindow()
    {
        switched({"dpi", "set", "--stages", "3", "500", "900", "1300"});
        QCOMPARE(mouse().memory().profileBlocks.value(1).mid(84, 3).toHex(' '), QByteArray("04 08 0c"));
        QCOMPARE(int(uchar(mouse().memory().profileBlocks.value(1).at(100))), 0x07);
        QTRY_COMPARE(stored("setting/p1.bin", "mouse/currentDpiCount"), QStringLiteral("3"));
        QCOMPARE(window("[dpiSettingMain.currentDpiCount, dpiSettingMain.isSave].join()"),
                 QStringLiteral("3,false"));

        switched({"button", "3", "key:F5"});
        QCOMPARE(window("keyMatrixMain.modKeys.get(2).keyCode2").toInt(), 0x3e);
        QCOMPARE(mouse().memory().keyMatrices.value(0).mid(8, 4).toHex(' '), QByteArray("00 00 3e 00"));
        switched({"rate", "set", "250"});
        QCOMPARE(window("reportRateLV.currentSelect"), QStringLiteral("1"));
        QCOMPARE(int(mouse().memory().reportRate), 4);
        QVERIFY(tool({"status"}).out.contains(QLatin1String("report rate: 250 Hz")));
        // Bad input is refused by the tool before anything is handed over.
        const int reports = mouse().reportCount();
        QCOMPARE(tool({"button", "17", "left"}).exitCode, int(Ctl::Usage));
        QCOMPARE(mouse().reportCount(), reports);

        switched({"profile", "use", "2"});
        QCOMPARE(window("[profileMain.profileNo, upItem.profileBtn.currentSelect, reportRateLV.currentSelect]"
                        ".join()"),
                 QStringLiteral("1,1,0"));
        QCOMPARE(int(mouse().memory().reportRate), 8);
        QTRY_COMPARE(stored("setting/apConfig.bin", "mouse/profileNo"), QStringLiteral("1"));
        switched({"profile", "use", "1"});
        QCOMPARE(window("profileMain.profileNo").toInt(), 0);
        QCOMPARE(m_localRuns, 0);
    }

    // The window and the tool's requests go through one connection and its one image of what the
    // mouse holds: a switch sends the same whichever of them asks for it, Save after a change made
    // and taken back sends nothing and locks nothing, a DPI-button press is not lost, and after a
    // replug the first switch sends everything again that the connection did not read.
    void theWindowAndTheToolShareWhatTheMouseHolds()
    {
        window("switchProfile(1)");
        window("switchProfile(0)");
        switched({"profile", "use", "2"});
        const int byTool = outputs();
        switched({"profile", "use", "1"});
        mouse().clearTrace();
        window("switchProfile(1)");
        QCOMPARE(outputs(), byTool);

        LockCount locks(m_window->view());
        mouse().clearTrace();
        window("keyMatrixMain.isSave = true; dpiSettingMain.isSave = true; lightControlMain.isSave = true;"
               "save()");
        QCOMPARE(mouse().reportCount(), 0);
        QCOMPARE(locks.count, 0);
        QVERIFY(m_window->view()->isEnabled());

        // The stage the mouse reports is the one the program believes.
        switched({"dpi", "current", "2"});
        switched({"dpi", "current", "2"});
        QCOMPARE(mouse().trace().filter(QStringLiteral(" -> feature ")).size(), 0);
        mouse().pressDpiButton(3);
        QTRY_COMPARE(window("dpiSettingMain.currentDPI").toInt(), 2);
        switched({"dpi", "current", "2"});
        QCOMPARE(int(mouse().memory().currentDpiStage), 2);

        switched({"profile", "use", "1"});
        const int differs = outputs();
        switched({"profile", "use", "2"});
        QCOMPARE(outputs(), differs);
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        mouse().unplug();
        QTRY_VERIFY(!m_window->hid.isListening());
        mouse().plugIn();
        QTest::ignoreMessage(QtDebugMsg, "Device Connect");
        m_window->checkDevice();
        QTRY_VERIFY(m_window->view()->isEnabled());
        // Everything but the profile blocks read at connect that hold the profile's values: the key
        // matrices (four reports each) go out again.
        switched({"profile", "use", "1"});
        QCOMPARE(outputs(), differs + 3 * 4);
    }

    // A request waits while the window itself talks to the mouse; its turn comes, and it finds the
    // mouse busy.
    void aRequestWaitsForTheWindowsExchange()
    {
        m_window->hid.setHidReady(false);
        QByteArray answer;
        const auto reply = [&](const QByteArray &a) { answer = a; };
        m_requests->handle(CtlWire::encodeRequest({"rate", "set", "--", "500"}), reply);
        QCoreApplication::processEvents();
        QVERIFY(answer.isEmpty());
        QCOMPARE(int(mouse().memory().reportRate), 4);
        m_window->hid.setHidReady(true);
        QTRY_VERIFY(!answer.isEmpty());
        QCOMPARE(int(mouse().memory().reportRate), 2);
    }

    // Requests that are not the tool's, or not in its form, change nothing.
    void refusedRequestsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("logged");   // refused before it is queued
        QTest::addColumn<bool>("answered"); // a request of the tool's kind is told why
        QTest::newRow("garbage") << QByteArray("\x00\x01garbage", 9) << true << false;
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
        const int reports = mouse().reportCount();
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
        QString why;
        // Refused: the connection is closed without an answer.
        QTRY_VERIFY(replied);
        QCOMPARE(answer.isEmpty(), !answered);
        QVERIFY(!answered || CtlWire::decodeReply(answer, &why)->exitCode == int(Ctl::Usage));
        QCOMPARE(mouse().reportCount(), reports);
        QCOMPARE(stored("setting/p1.bin", "mouse/reportRate"), rate);
    }

    // The real tool beside the real demo; then, with no demo running, `--virtual` works on the build's
    // writable data (bin/modules), while fresh copies (the demo's, a test rig's) keep the shipped values.
    void besideTheRealDemo()
    {
        DemoDriver demo;
        QVERIFY2(demo.start(), qPrintable(demo.error()));
        const QString beside = demo.rootDir() + QStringLiteral("/kestrel-orbit-ctl");
        QVERIFY(QFile::copy(QStringLiteral(KO_BUNDLE_DIR "/kestrel-orbit-ctl"), beside));
        // The demo's own virtual mouse took it; the tool played no mouse of its own to trace.
        QString err;
        const QStringList dpiSet{"dpi", "set", "--stages", "3", "500", "900", "1300"};
        QCOMPARE(DemoDriver::run(QStringList{beside, "--virtual", "--trace"} + dpiSet, &err), 0);
        QVERIFY2(err.contains("the running program has the virtual mouse"), qPrintable(err));
        QTRY_COMPARE(demo.block(1, 84, 3), (QList<int>{4, 8, 12}));

        // A message that is not the tool's reaches nobody and leaves the demo running (malformed
        // frames: tst_singleInstance's refused()).
        const int errors = demo.errorLines().size();
        const QByteArray foreign = R"({"type":"quit"})";
        QLocalSocket socket;
        const QString key = SingleInstance::keyFor(demo.rootDir() + QStringLiteral("/kestrel-orbit-demo"));
        socket.connectToServer(SingleInstance::socketPath(key));
        QVERIFY(socket.waitForConnected(5000));
        socket.write(QByteArray::number(foreign.size()) + '\n' + foreign);
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        QTRY_COMPARE(demo.errorLines(errors).filter("ctl: refused a request: unknown message type").size(), 1);
        QCOMPARE(demo.stop(), 0);

        QFile build(QStringLiteral(KO_BUNDLE_DIR "/modules/setting/p1.bin"));
        QVERIFY(build.open(QIODevice::ReadOnly));
        const QByteArray before = build.readAll();
        const auto putBack = qScopeGuard([&] {
            build.close();
            if (build.open(QIODevice::WriteOnly | QIODevice::Truncate))
                build.write(before);
        });
        // A runtime folder of its own: no running demo (a developer's, say) takes the command.
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const QStringList buildDpiSet{KO_BUNDLE_DIR "/kestrel-orbit-ctl", "--virtual", "dpi", "set",
                                      "500", "1000", "1500", "3000"};
        QCOMPARE(DemoDriver::run(buildDpiSet, nullptr, env), 0);
        const QString dpi = QStringLiteral("mouse/dpiValueArray");
        QCOMPARE(demo.storedNumbers(build.fileName(), dpi).mid(0, 4), (QList<int>{500, 1000, 1500, 3000}));
        QVERIFY(demo.prepare());
        CtlRig rig(Model{true, true, true, false, {}});
        const QList<int> shipped{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
        for (const QString &copy : {demo.dataDir() + "/setting/p1.bin", rig.file("setting/p1.bin")})
            QCOMPARE(demo.storedNumbers(copy, dpi), shipped);
    }
};

QTEST_MAIN(tst_CtlHandover)
#include "tst_ctl_handover.moc"
