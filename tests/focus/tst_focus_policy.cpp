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

FocusInfo window(const QString &name)
{
    static const QMap<QString, FocusInfo> windows{
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
    return windows.value(name);
}

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
        QTest::newRow("switch once held 300 ms")
            << QStringList{"focus game 0", "at 299 -> hold@300", "at 300 -> switch 2", "done",
                           "status Profile 2: rule 1 (class:Game) for Game", "at 900 -> idle"};
        QTest::newRow("class instance part") << QStringList{"focus gameinst 10", "at 310 -> switch 2"};
        QTest::newRow("wine exe, case") << QStringList{"focus wine 0", "at 300 -> switch 3", "done", "status rule 2 (exe:sniper.exe)"};
        QTest::newRow("title part") << QStringList{"focus doom 0", "at 300 -> switch 4"};
        QTest::newRow("proton class") << QStringList{"focus proton 0", "at 300 -> switch 5"};
        QTest::newRow("no rule: desktop profile in use")
            << QStringList{"focus desk 0", "at 300 -> idle", "status Profile 1: desktop profile for firefox"};
        QTest::newRow("back to the desktop profile")
            << QStringList{"focus game 0", "at 300 -> switch 2", "done", "focus desk 1000", "at 1299 -> hold@1300",
                           "at 1300 -> switch 1", "done", "status desktop profile"};
        QTest::newRow("alt-tab flick does nothing") << QStringList{"focus game 0", "focus desk 150", "at 400 -> idle"};
        QTest::newRow("latest wins, hold restarts")
            << QStringList{"focus game 0", "focus doom 200", "at 300 -> hold@500", "at 500 -> switch 4"};
        QTest::newRow("same profile keeps the hold") << QStringList{"focus game 0", "focus launcher 200", "at 300 -> switch 2"};
        QTest::newRow("waits for a busy mouse")
            << QStringList{"focus game 0", "at 300 busy -> busy", "at 5000 busy -> busy", "at 5020 -> switch 2"};
        QTest::newRow("never interrupts a running switch")
            << QStringList{"focus game 0", "at 300 -> switch 2", "focus doom 310", "at 700 -> busy", "done",
                           "at 700 -> switch 4", "done", "status rule 3"};
        QTest::newRow("change back during a running switch")
            << QStringList{"focus game 0", "at 300 -> switch 2", "focus desk 310", "done", "at 610 -> switch 1"};
        QTest::newRow("unsaved edits hold it back")
            << QStringList{"focus game 0", "at 300 unsaved -> unsaved", "status unsaved changes", "at 9000 unsaved -> unsaved",
                           "at 9500 -> switch 2"};
        QTest::newRow("own window is no focus change")
            << QStringList{"focus game 0", "focus own 100", "focus ownid 200", "at 300 -> switch 2", "done",
                           "focus own 400", "at 800 -> idle", "status rule 1"};
        QTest::newRow("failed switch is not retried")
            << QStringList{"focus game 0", "at 300 -> switch 2", "fail", "status Profile 1 kept: switching to profile 2 failed: gone",
                           "at 900 -> idle", "focus desk 1000", "focus game 1100", "at 1400 -> switch 2"};
        QTest::newRow("no rule and no desktop profile")
            << QStringList{"desktop 0", "hand 3", "focus desk 0", "at 1000 -> idle"};
        QTest::newRow("chosen by hand meanwhile")
            << QStringList{"focus game 0", "hand 2", "at 300 -> idle", "status rule 1", "hand 6", "status Profile 6: chosen by hand"};
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
                const FocusInfo f = window(w[1]);
                const bool own = w[1].startsWith("own"); // the program's own windows change nothing
                QCOMPARE(policy.focusChanged(f, AppRuleMatch::choose(Rules, f, desktop), w[2].toLongLong()), !own);
            } else if (w[0] == "at") {
                const auto s = policy.next(w[1].toLongLong(), !w.contains("busy"), w.contains("unsaved"));
                static const char *kinds[] = {"idle", "hold", "busy", "unsaved", "switch"};
                QString got = kinds[s.kind];
                if (s.kind == FocusSwitchPolicy::Step::Hold)
                    got += "@" + QString::number(s.dueAt);
                if (s.kind == FocusSwitchPolicy::Step::Switch)
                    got += " " + QString::number(s.profile);
                QCOMPARE(got, step.section(" -> ", 1));
            } else if (w[0] == "done" || w[0] == "fail") {
                policy.switchDone(w[0] == "done", "gone");
            } else if (w[0] == "hand") {
                policy.setProfileInUse(w[1].toInt());
            } else {
                QVERIFY2(policy.status().contains(step.mid(7)), qPrintable(step + " / " + policy.status()));
            }
        }
    }

    void exeName_data()
    {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QStringList>("cmdline");
        QTest::addColumn<QString>("name");
        QTest::newRow("native") << "/usr/bin/gzdoom" << QStringList{"gzdoom", "-iwad", "x.exe"} << "gzdoom";
        QTest::newRow("deleted image") << "/opt/game/run (deleted)" << QStringList{"./run"} << "run";
        QTest::newRow("wine loader") << "/usr/lib/wine/wine64-preloader"
                                     << QStringList{"C:\\Games\\Sniper\\Sniper.exe", "-windowed"} << "Sniper.exe";
        QTest::newRow("wine, unix path") << "/usr/bin/wine" << QStringList{"wine", "/home/u/games/Setup.EXE"} << "Setup.EXE";
        QTest::newRow("proton") << "/home/u/.steam/proton/files/bin/wine64-preloader"
                                << QStringList{"Z:\\home\\u\\steamapps\\common\\dota\\dota2.exe"} << "dota2.exe";
        QTest::newRow("unreadable exe") << "" << QStringList{"/usr/bin/python3", "script.py"} << "python3";
        QTest::newRow("gone") << "" << QStringList{} << "";
    }
    void exeName()
    {
        QFETCH(QString, exe);
        QFETCH(QStringList, cmdline);
        QTEST(AppRuleMatch::exeNameOf(exe, cmdline), "name");
    }
};

QTEST_GUILESS_MAIN(tst_FocusPolicy)
#include "tst_focus_policy.moc"
