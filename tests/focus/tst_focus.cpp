// Application rules without a desktop. The matching and the switching policy as pure logic on a fake
// clock. The desktop watchers: what sway's IPC sends, byte for byte from a local server (damaged
// input included); the KWin script run against a stand-in workspace of Plasma 5 and 6; its loading
// over a private session bus with a stand-in for KWin's scripting interface.
#include "AppRuleMatch.h"
#include "FocusSwitchPolicy.h"
#include "KWinFocusWatcher.h"
#include "SwayFocusWatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QJSEngine>
#include <QLocalServer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

Q_DECLARE_METATYPE(FocusInfo)

namespace {

// The rules every row plays with (desktop profile 1), and the windows that take the focus.
const QList<AppRule> Rules{
    {AppRule::Kind::Class, "Game", 2},          // rule 1: either part of WM_CLASS
    {AppRule::Kind::Exe, "sniper.exe", 3},      // rule 2
    {AppRule::Kind::Title, "doom", 4},          // rule 3: a part of the title
    {AppRule::Kind::Class, "steam_app_570", 5}, // rule 4: a Proton window
    {AppRule::Kind::Title, "launcher", 2},      // rule 5
};

const QMap<QString, FocusInfo> Windows{
    {"game", {"Game", "game", "Game", 100, "game"}},
    {"gameinst", {"Other", "GAME", "x", 101, "x"}},
    {"wine", {"sniper.exe", "sniper.exe", "Sniper Elite", 102, "Sniper.EXE"}},
    {"doom", {"gzdoom", "gzdoom", "DOOM II - Hell on Earth", 103, "gzdoom"}},
    {"proton", {"steam_app_570", "steam_app_570", "Dota 2", 104, "wine64-preloader"}},
    {"launcher", {"lutris", "lutris", "Game Launcher", 105, "lutris"}},
    {"desk", {"firefox", "Navigator", "Mozilla Firefox", 106, "firefox-esr"}},
    {"own", {"kestrel-orbit", "kestrel-orbit", "Kestrel Orbit", 42, "kestrel-orbit"}},
    {"ownid", {"kestrel-orbit-demo", "", "Virtual mouse", 0, ""}},
};


QString describe(const FocusInfo &f)
{
    return QStringList{f.cls, f.instance, f.title, QString::number(f.pid)}.join('|');
}

// Answers KWin's scripting calls as KWin does, and keeps them.
class KWinStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    QStringList calls;
    QString script;

public slots:
    Q_SCRIPTABLE int loadScript(const QString &path, const QString &plugin)
    {
        QFile f(path);
        script = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        calls << "loadScript " + plugin;
        return 7;
    }
    Q_SCRIPTABLE void start() { calls << "start"; }
    Q_SCRIPTABLE bool unloadScript(const QString &plugin)
    {
        calls << "unloadScript " + plugin;
        return true;
    }
};

} // namespace

class tst_Focus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<FocusInfo>(); }

    void swayFrames_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks"); // as the server writes them
        QTest::addColumn<QStringList>("reports");
        const auto event = [](const char *json) { return SwayFocusWatcher::frame(SwayFocusWatcher::WindowEvent, json); };
        const QByteArray focus =
            event(R"({"change":"focus","container":{"app_id":"org.game","name":"Game","pid":41,"focused":true}})");
        const QByteArray xwayland = event(R"({"change":"focus","container":{"app_id":null,"name":"Dota 2","pid":9,)"
                                          R"("window_properties":{"class":"steam_app_570","instance":"steam_app_570"}}})");
        const QByteArray tree = SwayFocusWatcher::frame(
            SwayFocusWatcher::GetTree,
            R"({"focused":false,"nodes":[{"nodes":[{"app_id":"a","name":"A","pid":1},{"app_id":"b","name":"B","pid":2,"focused":true}]}]})");
        const QByteArray subscribed = SwayFocusWatcher::frame(SwayFocusWatcher::Subscribe, R"({"success":true})");
        QTest::newRow("subscribe reply, tree, focus") << QList<QByteArray>{subscribed + tree + focus}
                                                      << QStringList{"b||B|2", "org.game||Game|41"};
        QTest::newRow("XWayland window") << QList<QByteArray>{xwayland} << QStringList{"steam_app_570|steam_app_570|Dota 2|9"};
        QTest::newRow("split anywhere") << QList<QByteArray>{focus.left(3), focus.mid(3, 12), focus.mid(15)}
                                        << QStringList{"org.game||Game|41"};
        QTest::newRow("title of the focused window")
            << QList<QByteArray>{event(R"({"change":"title","container":{"app_id":"x","name":"New","pid":3,"focused":true}})"),
                                 event(R"({"change":"title","container":{"app_id":"y","name":"Other","pid":4,"focused":false}})")}
            << QStringList{"x||New|3"};
        QTest::newRow("other changes") << QList<QByteArray>{event(R"({"change":"new","container":{}})")}
                                       << QStringList{};
        QTest::newRow("not JSON") << QList<QByteArray>{event("\xff{[")} << QStringList{};
        QTest::newRow("without the mark: closed") << QList<QByteArray>{"i3-ipX" + focus.mid(6), focus} << QStringList{};
        QTest::newRow("oversized: closed") << QList<QByteArray>{QByteArray("i3-ipc\xff\xff\xff\x7f\x03\x00\x00\x80", 14), focus}
                                           << QStringList{};
    }
    void swayFrames()
    {
        QFETCH(QList<QByteArray>, chunks);
        QTemporaryDir dir;
        QLocalServer server;
        QVERIFY(server.listen(dir.filePath("sway.sock")));
        SwayFocusWatcher watcher(server.fullServerName());
        QSignalSpy spy(&watcher, &FocusWatcher::focusChanged);
        QString why;
        QVERIFY2(watcher.start(&why), qPrintable(why));
        QVERIFY(server.waitForNewConnection(5000));
        QLocalSocket *peer = server.nextPendingConnection();
        // Subscribe (2) to window events, then GET_TREE (4): magic, length and type little-endian.
        const QByteArray hello("i3-ipc\x0a\0\0\0\x02\0\0\0[\"window\"]i3-ipc\0\0\0\0\x04\0\0\0", 38);
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] { peer->waitForReadyRead(10); got += peer->readAll(); return got.size() >= hello.size(); }));
        QCOMPARE(got, hello);
        // An end mark after the chunks: once it is reported (or the watcher closed the connection)
        // every chunk has been read.
        chunks << SwayFocusWatcher::frame(SwayFocusWatcher::WindowEvent, R"({"change":"focus","container":{"name":"end"}})");
        for (const QByteArray &c : chunks) {
            peer->write(c);
            peer->flush();
            QTest::qWait(0);
        }
        QStringList seen;
        QTRY_VERIFY([&] {
            seen.clear();
            for (const auto &args : spy)
                seen << describe(args.at(0).value<FocusInfo>());
            return seen.contains("||end|0") || peer->state() != QLocalSocket::ConnectedState;
        }());
        seen.removeAll("||end|0");
        QTEST(seen, "reports");
    }

    // The script as KWin runs it, on Plasma 6 and 5: it reports the window in front at once and
    // every activation; an activation of nothing (the desktop) is not reported.
    void kwinScript()
    {
        const QString window = "{resourceClass: 'steam_app_570', resourceName: 'steam_app_570', caption: 'Dota 2', pid: 77}";
        const QString call = ":1.5|/org/kestrelorbit/FocusReport|org.kestrelorbit.FocusReport|activated|";
        const std::pair<QString, QStringList> workspaces[] = {
            {"({windowActivated: {connect: f => handlers.push(f)}, activeWindow: " + window + "})",
             {call + "steam_app_570|steam_app_570|Dota 2|77", call + "org.kde.dolphin|dolphin|Home|5"}},
            {"({clientActivated: {connect: f => handlers.push(f)}, activeClient: null})",
             {call + "org.kde.dolphin|dolphin|Home|5"}}};
        for (const auto &[workspace, calls] : workspaces) {
            QJSEngine js;
            js.evaluate("var handlers = []; var calls = [];"
                        "function callDBus() { calls.push(Array.prototype.join.call(arguments, '|')); }");
            js.globalObject().setProperty("workspace", js.evaluate(workspace));
            const QJSValue run = js.evaluate(KWinFocusWatcher::scriptText(":1.5"));
            QVERIFY2(!run.isError(), qPrintable(run.toString()));
            js.evaluate("handlers.forEach(h => { h(null); h({resourceClass: 'org.kde.dolphin', "
                        "resourceName: 'dolphin', caption: 'Home', pid: 5}); })");
            QCOMPARE(js.evaluate("calls").toVariant().toStringList(), calls);
        }
    }

    // Loaded, started and unloaded through KWin's scripting interface; a report over the bus is a
    // focus change; a call of the wrong form is refused by the bus and changes nothing.
    void kwinOverDBus()
    {
        KWinFocusWatcher absent(QDBusConnection::sessionBus());
        QString why;
        QVERIFY(!absent.start(&why));
        QVERIFY2(why.contains("KWin did not load the focus script"), qPrintable(why));

        // KWin answers from a thread of its own while the watcher waits for it.
        QThread kwinThread;
        kwinThread.start();
        KWinStandIn kwin;
        kwin.moveToThread(&kwinThread);
        QDBusConnection kwinBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kwin");
        QVERIFY(kwinBus.registerService("org.kde.KWin"));
        QVERIFY(kwinBus.registerObject("/Scripting", &kwin, QDBusConnection::ExportScriptableSlots));
        QDBusConnection caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "caller");
        {
            KWinFocusWatcher watcher(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "watcher"));
            QSignalSpy spy(&watcher, &FocusWatcher::focusChanged);
            QVERIFY2(watcher.start(&why), qPrintable(why));
            QCOMPARE(kwin.calls, QStringList({"unloadScript kestrel-orbit-focus", "loadScript kestrel-orbit-focus", "start"}));
            const QString service = QDBusConnection(QStringLiteral("watcher")).baseService();
            QVERIFY(kwin.script.contains(QStringLiteral("callDBus(\"%1\", \"/org/kestrelorbit/FocusReport\"").arg(service)));
            auto report = [&](const QVariantList &args) {
                QDBusMessage m = QDBusMessage::createMethodCall(service, KWinFocusWatcher::ObjectPath,
                                                                "org.kestrelorbit.FocusReport", "activated");
                m.setArguments(args);
                QDBusPendingCall call = caller.asyncCall(m, 5000);
                return QTest::qWaitFor([&] { return call.isFinished(); }) && !call.isError();
            };
            QVERIFY(report({"steam_app_570", "steam_app_570", "Dota 2", "77"}));
            QVERIFY(!report({"x", "y", "z", 7}) && !report({"x"})); // refused by the bus
            QTRY_COMPARE(spy.size(), 1);
            QCOMPARE(describe(spy.at(0).at(0).value<FocusInfo>()), QStringLiteral("steam_app_570||Dota 2|77"));
        }
        QCOMPARE(kwin.calls.last(), QStringLiteral("unloadScript kestrel-orbit-focus"));
        kwinThread.quit();
        kwinThread.wait();
    }

    // Each row is a script on a fake clock (profile 1 in use, desktop profile 1):
    //   "focus W T"              window W takes the focus at T ms
    //   "at T [busy] [unsaved] -> S"  what the policy asks for at T: idle, hold@DUE, busy,
    //                            unsaved or "switch P"
    //   "done" / "fail"          the switch that was started is over
    //   "hand P"                 profile P was chosen in the window or the tool
    //   "desktop P"              the desktop profile is P from now on (0: none chosen)
    //   "status TEXT"            the status contains TEXT
    void script_data()
    {
        QTest::addColumn<QStringList>("steps");
        const std::pair<const char *, const char *> rows[] = {
            {"switch once held 300 ms", "focus game 0; at 299 -> hold@300; at 300 -> switch 2; done; "
                                        "status Profile 2: rule 1 (class:Game) for Game; at 900 -> idle"},
            {"class instance, exe with case, title part, proton class",
             "focus gameinst 10; at 310 -> switch 2; done; focus wine 400; at 700 -> switch 3; done; "
             "status rule 2 (exe:sniper.exe); focus doom 800; at 1100 -> switch 4; done; focus proton 1200; "
             "at 1500 -> switch 5"},
            {"no rule: desktop profile in use", "focus desk 0; at 300 -> idle; status Profile 1: desktop profile for firefox"},
            {"back to the desktop profile", "focus game 0; at 300 -> switch 2; done; focus desk 1000; "
                                            "at 1299 -> hold@1300; at 1300 -> switch 1; done; status desktop profile"},
            {"alt-tab flick does nothing", "focus game 0; focus desk 150; at 400 -> idle"},
            {"latest wins, hold restarts", "focus game 0; focus doom 200; at 300 -> hold@500; at 500 -> switch 4"},
            {"same profile keeps the hold", "focus game 0; focus launcher 200; at 300 -> switch 2"},
            {"waits for a busy mouse", "focus game 0; at 300 busy -> busy; at 5000 busy -> busy; at 5020 -> switch 2"},
            {"never interrupts a running switch", "focus game 0; at 300 -> switch 2; focus doom 310; at 700 -> busy; "
                                                  "done; at 700 -> switch 4; done; status rule 3"},
            {"change back during a running switch",
             "focus game 0; at 300 -> switch 2; focus desk 310; done; at 610 -> switch 1"},
            {"unsaved edits hold it back", "focus game 0; at 300 unsaved -> unsaved; status unsaved changes; "
                                           "at 9000 unsaved -> unsaved; at 9500 -> switch 2"},
            {"own window is no focus change", "focus game 0; focus own 100; focus ownid 200; at 300 -> switch 2; "
                                              "done; focus own 400; at 800 -> idle; status rule 1"},
            {"failed switch is not retried",
             "focus game 0; at 300 -> switch 2; fail; status Profile 1 kept: switching to profile 2 failed: gone; "
             "at 900 -> idle; focus desk 1000; focus game 1100; at 1400 -> switch 2"},
            {"no rule and no desktop profile", "desktop 0; hand 3; focus desk 0; at 1000 -> idle"},
            {"chosen by hand meanwhile",
             "focus game 0; hand 2; at 300 -> idle; status rule 1; hand 6; status Profile 6: chosen by hand"}};
        for (const auto &[tag, steps] : rows)
            QTest::newRow(tag) << QString::fromUtf8(steps).split(QStringLiteral("; "));
    }
    void script()
    {
        QFETCH(QStringList, steps);
        FocusSwitchPolicy policy;
        policy.setOwn(42, {"kestrel-orbit-demo"});
        policy.setProfileInUse(1);
        int desktop = 1;
        for (const QString &step : steps) {
            const QStringList w = step.split(' ');
            if (w[0] == "desktop") {
                desktop = w[1].toInt();
            } else if (w[0] == "focus") {
                const FocusInfo f = Windows.value(w[1]);
                const bool own = w[1].startsWith("own"); // the program's own windows change nothing
                QCOMPARE(policy.focusChanged(f, AppRuleMatch::choose(Rules, f, desktop), w[2].toLongLong()), !own);
            } else if (w[0] == "at") {
                const auto s = policy.next(w[1].toLongLong(), !w.contains("busy"), w.contains("unsaved"));
                const QStringList kinds{"idle", "hold@" + QString::number(s.dueAt), "busy", "unsaved",
                                        "switch " + QString::number(s.profile)};
                QCOMPARE(kinds[s.kind], step.section(" -> ", 1));
            } else if (w[0] == "done" || w[0] == "fail") {
                policy.switchDone(w[0] == "done", "gone");
            } else if (w[0] == "hand") {
                policy.setProfileInUse(w[1].toInt());
            } else {
                QVERIFY2(policy.status().contains(step.mid(7)), qPrintable(step + " / " + policy.status()));
            }
        }
    }

    void exeName()
    {
        const std::tuple<QString, QStringList, QString> rows[] = {
            {"/usr/bin/gzdoom", {"gzdoom", "-iwad", "x.exe"}, "gzdoom"},
            {"/opt/game/run (deleted)", {"./run"}, "run"},
            {"/usr/lib/wine/wine64-preloader", {"C:\\Games\\Sniper\\Sniper.exe", "-windowed"}, "Sniper.exe"},
            {"/usr/bin/wine", {"wine", "/home/u/games/Setup.EXE"}, "Setup.EXE"},
            {"/home/u/.steam/proton/files/bin/wine64-preloader", {"Z:\\home\\u\\steamapps\\common\\dota\\dota2.exe"},
             "dota2.exe"},
            {"", {"/usr/bin/python3", "script.py"}, "python3"}, // the executable could not be read
            {"", {}, ""}};                                      // the process is gone
        for (const auto &[exe, cmdline, name] : rows)
            QCOMPARE(AppRuleMatch::exeNameOf(exe, cmdline), name);
    }
};

QTEST_MAIN(tst_Focus)
#include "tst_focus.moc"
