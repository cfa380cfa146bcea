#include "AppRuleMatch.h"
#include "FocusSwitchPolicy.h"

#include <QtTest>

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

} // namespace

class tst_FocusPolicy : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(tst_FocusPolicy)
#include "tst_focus_policy.moc"
