// kestrel-orbit-ctl's commands against the virtual mouse, without a running program: what reaches
// the mouse (the same reports as the view's slots send for the same values), what the profile files
// hold afterwards, that bad input, a missing mouse or a refusing one are reported as such, and
// that a profile switch sends only what the mouse does not hold yet.
#include "CtlRig.h"
#include "CtlTool.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <functional>

namespace {

using ViewCall = std::function<void(Rig &)>;
using Stored = QList<std::pair<QString, QString>>; // "file|group/key" under setting/ → the text stored
using Commands = QList<QStringList>;
// How a command-line row finds the mouse.
enum Setup { Plugged, Unplugged, Denied, Refusing, Executable };

// is560, isGun, isColorful, is55328
const Model k553{}, k553Colourful{false, false, true, false, {}}, k55328{false, false, false, true, {}};
const Model k560{true, false, false, false, {}}, k560Gun{true, true, true, false, {}};

const QVariantList kShippedStages{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
const QVariantList kShippedColours{255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0,
                                   0, 255, 255, 0, 0, 255, 255, 0, 255, 255, 255, 255};
// The fire periods of the guns in the shipped slots.
const QVariantList kPeriods{9, 9, 9};

// `list` with its entries from `at` on replaced by `values`.
QVariantList with(QVariantList list, int at, const QVariantList &values)
{
    for (const QVariant &v : values)
        list[at++] = v;
    return list;
}

// The 16 stored entries of the view's profile in use, with entry k replaced.
QVariantList matrixWith(Rig &r, int k, const QVariantList &entry)
{
    QVariantList values;
    for (int j = 0; j < 16; ++j) {
        const QVariantList stored = j == k ? entry : r.view->mouseGetKeydefine(j, false);
        for (int i = 0; i < 4; ++i)
            values << stored.value(i).toInt();
    }
    return values;
}

// The view's call that sets entry k of the key matrix.
ViewCall keyMatrix(int k, const QVariantList &entry)
{
    return [=](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, k, entry), true, kPeriods); };
}

// A macro file as the editor writes it, imported by the tool under its file name.
void importMacro(CtlRig &rig, const QString &name, const QStringList &steps, int repeat)
{
    QSettings m(rig.dir.filePath(name + QStringLiteral(".mc")), QSettings::IniFormat);
    m.setValue(QStringLiteral("config/index"), 0);
    m.setValue(QStringLiteral("config/total"), steps.size());
    m.setValue(QStringLiteral("config/repeat"), repeat);
    for (int i = 0; i < steps.size(); ++i)
        m.setValue(QStringLiteral("macro/%1").arg(i), steps.at(i));
    m.sync();
    QCOMPARE(rig.run({"macro", "import", m.fileName()}).exitCode, int(Ctl::Ok));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The executable's surroundings in `root`; no program runs under its key.
ToolEnvironment toolEnvironment(const QString &root, VirtualClock *clock, int *localRuns)
{
    ToolEnvironment env;
    env.executableDir = root;
    env.workingDir = root;
    env.programKey = QStringLiteral("ko-ctl-test-nobody-runs-this");
    env.clock = clock;
    env.onLocalRun = [localRuns] { ++*localRuns; };
    return env;
}

// Runs each command line in a new run of the tool; all must succeed.
void runAll(CtlRig &rig, const Commands &lines)
{
    for (const QStringList &args : lines) {
        const CtlOutput out = rig.run(args);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(args.join(' ') + ": " + out.err));
    }
}

// Profile 2 a copy of profile 1 with `change` made in it; both sent once, profile 2 in use.
void twoProfiles(CtlRig &rig, const Commands &change)
{
    importMacro(rig, QStringLiteral("Reload"), {"1,R", "2,R"}, 3);
    const QString p1 = rig.file(QStringLiteral("setting/p1.bin"));
    runAll(rig, Commands{{"profile", "import", "2", p1}, {"profile", "use", "2"}} + change
                    + Commands{{"profile", "use", "1"}, {"profile", "use", "2"}});
    rig.mouse->clearTrace();
}

} // namespace

Q_DECLARE_METATYPE(Model)
Q_DECLARE_METATYPE(ViewCall)
Q_DECLARE_METATYPE(Stored)
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Commands)

class tst_CtlCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // One row per command: the tool's words, the same values handed to the view's slots (whose bytes
    // tst_view_mouse fixes from the protocol tables) and what the profile holds afterwards.
    void sameReportsAsTheView_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<QString>("line");
        QTest::addColumn<ViewCall>("viewCall");
        QTest::addColumn<Stored>("stored");

        QTest::newRow("553 dpi")
            << k553 << "dpi set --stages 3 400 800 1700"
            << ViewCall([](Rig &r) { r.view->mouseSetDpi(3, "3360", with(kShippedStages, 2, {1700})); })
            << Stored{{"p1.bin|mouse/currentDpiCount", "3"},
                      {"p1.bin|mouse/dpiValueArray", "400,800,1700,3200,4800,6400,8000,12000"}};
        QTest::newRow("560 gun dpi, stages kept")
            << k560Gun << "dpi set 500"
            << ViewCall([](Rig &r) { r.view->mouseSetDpi(4, "3360", with(kShippedStages, 0, {500})); })
            << Stored{{"p1.bin|mouse/currentDpiCount", "4"}};
        QTest::newRow("553 rate") << k553 << "rate set 250" << ViewCall([](Rig &r) { r.view->mouseSetReportRate(4); })
                                  << Stored{{"p1.bin|mouse/reportRate", "1"}};
        QTest::newRow("560 rate") << k560 << "rate set 125Hz" << ViewCall([](Rig &r) { r.view->mouseSetReportRate(8); })
                                  << Stored{{"p1.bin|mouse/reportRate", "0"}};
        QTest::newRow("553 colourful light") << k553Colourful << "light set --effect 5 --speed 1 --color 8=010203"
                                             << ViewCall([](Rig &r) {
                                                    r.view->mouseSetRGBEffect(5, 1, 4);
                                                    r.view->mouseSetRGBColor(0, with(kShippedColours, 21, {1, 2, 3}));
                                                })
                                             << Stored{{"p1.bin|mouse/lightValue", "5,1,4"}};
        // The 55328 keeps an eighth colour only for its breath loop.
        QTest::newRow("55328 light, breath") << k55328 << "light set --effect breath --color=8=010203"
                                             << ViewCall([](Rig &r) {
                                                    r.view->mouseSetRGBEffect(1, 0, 4);
                                                    r.view->mouseSetRGBColor(1, with(kShippedColours, 21, {0, 0, 0}));
                                                })
                                             << Stored{{"p1.bin|mouse/colorValue",
                                                        "255,0,0,255,128,0,255,255,0,0,255,0,0,255,255,0,0,255,255,0,255,0,0,0"}};
        QTest::newRow("560 gun light") << k560Gun << "light set --effect twinkling"
                                       << ViewCall([](Rig &r) {
                                              r.view->mouseSetRGBEffect(4, 2, 4);
                                              r.view->mouseSetRGBColor(0, kShippedColours);
                                          })
                                       << Stored{{"p1.bin|mouse/lightValue", "4,2,4"}};
        const Stored sniperStored{{"p1.bin|mouseKeyMatrix/5", "5,0,4,0"}};
        QTest::newRow("553 sniper") << k553 << "button 6 dpi:sniper" << keyMatrix(5, {5, 0, 4, 0}) << sniperStored;
        QTest::newRow("560 sniper") << k560 << "button 6 dpi:sniper" << keyMatrix(5, {5, 0, 4, 0}) << sniperStored;
        QTest::newRow("553 system as media") << k553 << "button 4 system:computer" << keyMatrix(3, {6, 0, 0x94, 1})
                                             << Stored{{"p1.bin|mouseKeyMatrix/3", "6,0,148,1"}};
        QTest::newRow("560 gun key, three matrices more") << k560Gun << "button 4 gun:2" << keyMatrix(3, {8, 0, 2, 0})
                                                          << Stored{{"p1.bin|mouseKeyMatrix/3", "8,0,2,0"}};
        // A macro goes to the slot of its button, encoded as the editor encodes it, then the matrix.
        QTest::newRow("553 macro") << k553 << "button 3 macro:hello:hold"
                                   << ViewCall([](Rig &r) {
                                          r.view->mouseSendMacroData({0, 2, 5, 4, 0x81, 4, 0, 0}, 2);
                                          keyMatrix(2, {4, 2, 2, 0})(r);
                                      })
                                   << Stored{{"p1.bin|mouseMacroKey/2", "hello"}, {"p1.bin|mouseKeyMatrix/2", "4,2,2,0"}};
    }

    void sameReportsAsTheView()
    {
        QFETCH(Model, model);
        QFETCH(QString, line);
        QFETCH(ViewCall, viewCall);
        QFETCH(Stored, stored);

        CtlRig tool(model);
        importMacro(tool, QStringLiteral("hello"), {"1,A", "0,50", "2,A"}, 2);
        tool.connect();
        const CtlOutput out = tool.run(CtlRig::words(line));
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));

        Rig view(model);
        viewCall(view);
        QCOMPARE(reports(tool.mouse->trace()), reports(view.mouse->trace()));
        QVERIFY(!tool.mouse->trace().isEmpty());
        for (const auto &[where, text] : stored)
            QCOMPARE(tool.storedText("setting/" + where.section('|', 0, 0), where.section('|', 1)), text);
        QCOMPARE(tool.mouse->protocolErrors(), QStringList());
    }

    // Command lines on a 560 gun model, each a new run of the tool (" ; " between them): the last one's
    // exit status and what it says (each text in standard output or error; "^": where the output
    // starts). Bad input (status 1) and no usable mouse (status 2) change neither the files nor the
    // mouse; a refused write is status 3, never success. @dir is the rig's folder, @garbage a file of
    // the wrong kind in it, @macro a macro file there; the macro "hello" is in the list.
    void commandLines_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("says");
        const char *const bad[][2] = {
            {"frob", "unknown command 'frob'"},
            {"profile", "'profile' needs an action"},
            {"dpi set --frob 1", "unknown option '--frob'"},
            {"status now", "too many arguments"},
            {"button 0 left", "buttons are 1 to 8"},
            {"button 17 left", "buttons are 1 to 8"},
            {"button two left", "'two' is not a number"},
            {"button 3 key:NOPE", "unknown key 'NOPE'"},
            {"button 3 key:MS-L", "'MS-L' is a mouse button"},
            {"button 3 combo:a+b+c", "at most two keys"},
            {"button 3 media:loud", "unknown media function 'loud'"},
            {"button 3 jump", "unknown function 'jump'"},
            {"button 3 fire:A:0", "fire rate is 1 to 255"},
            {"button 3 macro:none", "no macro 'none'"},
            {"button 1 right", "only one with the left click"},
            {"dpi set 100", "outside the model's range 200 to 12000"},
            {"dpi set 400 12100", "outside the model's range"},
            {"dpi set 450", "not a multiple of the model's step 100"},
            {"dpi set fast", "'fast' is not a DPI value"},
            {"dpi set --stages 9", "--stages takes 1 to 8"},
            {"dpi set", "give --stages N, DPI values, or both"},
            {"dpi current 5", "active stages are 1 to 4"},
            {"rate set 300", "one of 125, 250, 500, 1000"},
            {"light set --speed 5", "step 0 to 4"},
            {"light set --effect disco", "unknown effect 'disco'"},
            {"light set --color 9=ffffff", "--color takes K=RRGGBB"},
            {"profile use 7", "numbered 1 to 6"},
            {"profile use 4", "not in the profile list"},
            {"profile import 2 @dir/ko-none.pf", "no such file"},
            {"profile import 2 @dir", "cannot be read"},
            {"profile import 2 @garbage", "not a profile file"},
            {"macro import @dir/ko-none.mc", "no such file"},
            {"macro import @garbage", "not a macro file"},
            {"macro import @macro ..", "cannot be a macro name"},
            {"macro export none @dir/x.mc", "no macro 'none'"},
            {"rule add 7 class:x", "there is no profile 7"},
            {"rule add 1 class:", "has no text"},
            {"rule add 1 window:x", "class:TEXT, exe:TEXT or title:TEXT"},
            {"rule add one class:x", "'one' is not a number"},
            {"rule remove 1", "there are no rules"},
            {"rule on now", "too many arguments"},
            {"profile export 1 @dir/ko-no-such-dir/p.pf", "folder does not exist"},
        };
        for (const auto &[line, message] : bad)
            QTest::newRow(line) << Plugged << QString(line) << int(Ctl::Usage) << QStringList{message};
        QTest::newRow("rule too long") << Plugged << "rule add 1 title:" + QString(201, 'x') << int(Ctl::Usage)
                                       << QStringList{"longer than 200"};

        for (const char *line : {"dpi set 400", "rate set 500", "light set --speed 1", "button 3 key:F5", "dpi current 2",
                                 "profile reset 1"})
            QTest::addRow("no mouse: %s", line) << Unplugged << line << int(Ctl::NoMouse) << QStringList{"No mouse"};
        QTest::newRow("devices, permission denied")
            << Denied << "devices --json" << int(Ctl::NoMouse) << QStringList{"permission denied", "udev rule"};
        QTest::newRow("status, permission denied")
            << Denied << "status" << int(Ctl::NoMouse) << QStringList{"\nmouse: not connected (No mouse: permission denied"};
        // The profile holds the value, as the window's does.
        QTest::newRow("refused") << Refusing << "rate set 500" << int(Ctl::MouseRefused)
                                 << QStringList{"did not accept 1 command"};

        QTest::newRow("status") << Plugged << "status" << int(Ctl::Ok)
                                << QStringList{"model: KESTREL ORBIT MOUSE K7 (family 560, gun functions, colour lighting)\n"
                                               "mouse: connected, 04d9:a1ee, report length 32\n",
                                               "dpi stages: 400 800 1600 3200\n", "report rate: 1000 Hz\n"};
        QTest::newRow("status --json") << Plugged << "status --json" << int(Ctl::Ok)
                                       << QStringList{R"("family": "560")", R"("model": "KESTREL ORBIT MOUSE K7")",
                                                      R"("current": 2)", R"("active": 4)", R"("reportRate": 1000)",
                                                      R"("effect": "static")", R"("name": "Standard")"};
        QTest::newRow("devices") << Plugged << "devices" << int(Ctl::Ok)
                                 << QStringList{"0  keyboard  04d9:8008  not attached", "\n1  mouse  04d9:a1ee  usable"};

        // The executable's own options, before any mouse is looked for.
        QTest::newRow("no command") << Executable << "" << int(Ctl::Usage) << QStringList{"no command given"};
        QTest::newRow("--help") << Executable << "--help" << int(Ctl::Ok) << QStringList{"Usage: kestrel-orbit-ctl"};
        QTest::newRow("dpi --help") << Executable << "dpi --help" << int(Ctl::Ok)
                                    << QStringList{"Usage: kestrel-orbit-ctl dpi"};
        QTest::newRow("help button") << Executable << "help button" << int(Ctl::Ok) << QStringList{"combo:KEY+KEY"};
        QTest::newRow("--version") << Executable << "--version" << int(Ctl::Ok) << QStringList{"kestrel-orbit-ctl "};
        QTest::newRow("memory file without --virtual")
            << Executable << "--memory-file m.json status" << int(Ctl::Usage) << QStringList{"go with --virtual"};
        QTest::newRow("unknown global option") << Executable << "--bogus status" << int(Ctl::Usage) << QStringList{};

        // Rules are kept in the configuration and shown by list and status; the mouse is never asked.
        const QString twoRules = QStringLiteral("rule add 3 class:steam_app_570 ; rule add 2 \"title:Doom Eternal\"");
        auto rules = [](const char *name, const QString &line, int exitCode, const QString &says) {
            QTest::newRow(name) << Plugged << line << exitCode << QStringList{says};
        };
        rules("rule added", "rule add 3 class:steam_app_570", Ctl::Ok, "rule 1 added: profile 3 for class:steam_app_570\n");
        rules("rule twice", twoRules + " ; rule add 2 \"title:Doom Eternal\"", Ctl::Usage, "already has the rule");
        rules("rules on", twoRules + " ; rule on", Ctl::Ok, "application rules on, desktop profile 1\n");
        rules("rule removed", twoRules + " ; rule remove 1", Ctl::Ok, "rule 1 removed\n");
        rules("rule gone", twoRules + " ; rule remove 1 ; rule remove 2", Ctl::Usage, "there is no rule 2 (rules are 1 to 1)");
        rules("rule list", twoRules + " ; rule on ; rule remove 1 ; rule list", Ctl::Ok,
              "^application rules: on, 1 rule(s), desktop profile 1 (they apply while the program runs)\n"
              "1  profile 2  title:Doom Eternal\n");
        rules("rules off", twoRules + " ; rule on ; rule off", Ctl::Ok, "application rules off\n");
        rules("rules in the status", twoRules + " ; rule on ; rule off ; status", Ctl::Ok,
              "application rules: off, 2 rule(s)\n");

        // Each function form is stored, sent and read back as it was given (names in any case come
        // back as the window labels them).
        auto form = [](const QString &given, const QString &shown) {
            QTest::addRow("form %s", qPrintable(given))
                << Plugged << "button 2 key:A ; button 2 " + given + " ; button 2" << int(Ctl::Ok)
                << QStringList{"^" + shown + " "};
        };
        const QString forms = QStringLiteral(
            "right middle back forward double-fire key:F5 key:Enter key:KP1 combo:LCtrl+LShift+A combo:RAlt+Tab "
            "fire:Space:20:3 fire:B:1:255 dpi:up dpi:down dpi:loop dpi:sniper gun:1 gun:2 gun:3 macro:hello:once "
            "macro:hello:loop macro:hello:hold media:player media:next media:previous media:stop media:mute "
            "media:play-pause media:volume-up media:volume-down system:computer system:home system:search "
            "system:maximize system:minimize system:desktop system:run shortcut:new shortcut:cut shortcut:copy "
            "shortcut:paste shortcut:save shortcut:print shortcut:find shortcut:redo shortcut:undo shortcut:select-all");
        for (const QString &f : CtlRig::words(forms))
            form(f, f);
        form("key:f5", "key:F5");
        form("combo:ctrl+shift+a", "combo:LCtrl+LShift+A");
        form("fire:a", "fire:A:10:0");
        form("macro:hello", "macro:hello:once");
        form("default", "right");
    }

    void commandLines()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, line);
        QFETCH(int, exitCode);
        QFETCH(QStringList, says);
        CtlRig rig(k560Gun);
        QFile garbage(rig.dir.filePath("garbage"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("\x01\x02 not an ini file at all\n");
        garbage.close();
        QSettings(rig.dir.filePath("a.mc"), QSettings::IniFormat).setValue("config/total", 0);
        importMacro(rig, QStringLiteral("hello"), {"1,A", "2,A"}, 1);
        line.replace("@dir", rig.dir.path()).replace("@garbage", garbage.fileName());
        line.replace("@macro", rig.dir.filePath("a.mc"));
        QStringList commands = line.split(" ; ");
        line = commands.takeLast();
        for (const QString &command : commands) {
            runAll(rig, {CtlRig::words(command)});
            rig.fresh();
        }
        if (setup == Unplugged)
            rig.mouse->unplug();
        rig.mouse->setOpenDenied(setup == Denied);
        if (setup == Refusing) {
            rig.connect();
            rig.mouse->failFromReport(1);
        }
        const auto before = rig.files();
        int localRuns = 0;
        const ToolEnvironment env = toolEnvironment(rig.dir.path(), &rig.clock, &localRuns);
        const CtlOutput out = setup == Executable ? runTool(CtlRig::words(line), env) : rig.run(CtlRig::words(line));

        QCOMPARE(out.exitCode, exitCode);
        for (const QString &text : says) {
            const bool said = text.startsWith('^') ? out.out.startsWith(text.mid(1)) : (out.out + out.err).contains(text);
            QVERIFY2(said, qPrintable(out.out + out.err));
        }
        QCOMPARE(localRuns, 0);
        if (exitCode == Ctl::Usage && setup != Executable) {
            QVERIFY(out.err.startsWith(QLatin1String("kestrel-orbit-ctl: ")));
            QCOMPARE(out.out, QString());
        }
        if (exitCode == Ctl::Usage || exitCode == Ctl::NoMouse)
            QCOMPARE(rig.files(), before);
        if (exitCode == Ctl::Usage || exitCode == Ctl::NoMouse || line.startsWith(QLatin1String("rule")))
            QCOMPARE(rig.mouse->reportCount(), 0);
        if (setup == Refusing)
            QCOMPARE(rig.storedText("setting/p1.bin", "mouse/reportRate"), QStringLiteral("2"));
    }

    // Switching profiles stores the choice and sends every page of the new profile, in the window's
    // order; import, export and reset copy whole files, as the window's dialogs do, and a reset of the
    // profile in use is sent at once.
    void profilesAndMacrosComeAndGoWhole()
    {
        CtlRig rig(k553);
        const QString other = rig.dir.filePath("other.pf");
        QVERIFY(QFile::copy(rig.file("setting/pD.bin"), other));
        QSettings o(other, QSettings::IniFormat);
        o.setValue("mouse/reportRate", 0);
        o.setValue("mouse/currentDpiCount", 2);
        o.setValue("mouse/lightValue", QStringList{"1", "3", "2"});
        o.setValue("mouseKeyMatrix/2", QStringList{"2", "0", "62", "0"});
        o.setValue("mouse/mouseRate", 40);
        o.setValue("mouse/scrollRate", 2000);
        o.sync();

        QCOMPARE(rig.run({"profile", "import", "2", other}).exitCode, int(Ctl::Ok));
        QCOMPARE(rig.mouse->reportCount(), 0); // not the profile in use: nothing is sent
        QVERIFY(rig.stored("setting/name.bin", "profile/profileName").toStringList().contains("profile_01"));
        rig.fresh();
        rig.connect();
        runAll(rig, {{"profile", "use", "2"}});
        QCOMPARE(rig.storedText("setting/apConfig.bin", "mouse/profileNo"), QStringLiteral("1"));
        // Key matrix, report rate, DPI, effect, colours twice (553), no gun functions.
        QStringList codes;
        for (const QString &command : commandsOf(rig.mouse->trace()))
            codes << command.section(' ', 0, 0);
        QCOMPARE(codes, (QStringList{"12", "01", "11", "0d", "10", "10"}));
        const VirtualMouseMemory m = rig.mouse->memory();
        QCOMPARE(int(m.reportRate), 8);
        QCOMPARE(m.dpiStageCodes.toHex(' '), QByteArray("03 07 80 80 80 80 80 80"));
        QCOMPARE(m.keyMatrices.value(0).mid(8, 4).toHex(' '), QByteArray("00 00 3e 00"));
        QCOMPARE(m.ledEffect.toHex(' '), QByteArray("02 04 02"));
        QCOMPARE(rig.pointer.size(), 1);
        QCOMPARE(rig.pointer.at(0).cursorSpeedIndex, 2u);
        QCOMPARE(rig.pointer.at(0).wheelLines, 1000u);
        // The pages store what they send, as the window's do.
        QCOMPARE(rig.storedText("setting/p2.bin", "mouse/scrollRate"), QStringLiteral("1000"));
        QCOMPARE(rig.storedText("setting/p2.bin", "mouse/lightValue"), QStringLiteral("1,3,2"));
        rig.fresh();
        QCOMPARE(rig.run({"profile", "list"}).out, QStringLiteral("1  Standard\n2  profile_0  (in use)\n"));
        rig.mouse->clearTrace();
        runAll(rig, {{"profile", "use", "2"}}); // already in use: nothing to do
        QCOMPARE(rig.mouse->reportCount(), 0);

        importMacro(rig, QStringLiteral("Reload"), {"1,R", "2,R"}, 3);
        const QString mc = rig.dir.filePath("Reload.mc"), back = rig.dir.filePath("back.mc");
        QCOMPARE(contents(rig.file("macro/Reload.bin")), contents(mc));
        QCOMPARE(rig.run({"macro", "show", "Reload"}).out, QStringLiteral("repeat 3\npress R\nrelease R\n"));
        runAll(rig, {{"macro", "import", mc, "Second"}, {"macro", "export", "Second", back}});
        QCOMPARE(rig.run({"macro", "list"}).out, QStringLiteral("Reload\nSecond\n"));
        QCOMPARE(rig.run({"macro", "import", mc}).exitCode, int(Ctl::Usage)); // never replaces one
        QCOMPARE(contents(back), contents(mc));

        rig.store("setting/p1.bin", "mouse/reportRate", 1);
        rig.mouse->clearTrace();
        const QString pf = rig.dir.filePath("p1.pf");
        runAll(rig, {{"profile", "export", "1", pf}, {"profile", "reset", "3"}});
        QCOMPARE(contents(pf), contents(rig.file("setting/p1.bin")));
        QCOMPARE(contents(rig.file("setting/p3.bin")), contents(rig.file("setting/pD.bin")));
        QCOMPARE(rig.mouse->reportCount(), 0);
        rig.fresh();
        runAll(rig, {{"profile", "use", "1"}, {"profile", "reset", "1"}});
        QCOMPARE(rig.storedText("setting/p1.bin", "mouse/reportRate"), QStringLiteral("3"));
        QCOMPARE(int(rig.mouse->memory().reportRate), 1);
    }

    // The demo's virtual mouse with its memory written out, and file names taken from the working folder.
    void theVirtualMouseAndTheWorkingFolder()
    {
        QTemporaryDir root;
        QVERIFY(ShippedData::copyTo(root.filePath("modules")));
        int localRuns = 0;
        VirtualClock clock;
        ToolEnvironment env = toolEnvironment(root.path(), &clock, &localRuns);
        env.workingDir = root.filePath("work");
        QDir().mkpath(env.workingDir);
        env.userDataDir = root.filePath("user");
        const QString memory = root.filePath("memory.json");
        CtlOutput out = runTool({"--virtual", "rate", "set", "250", "--memory-file", memory}, env);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
        QCOMPARE(QJsonDocument::fromJson(contents(memory)).object().value("reportRate").toInt(), 4);
        QCOMPARE(QSettings(root.filePath("modules/setting/p1.bin"), QSettings::IniFormat).value("mouse/reportRate"),
                 QVariant("1"));
        QCOMPARE(runTool({"profile", "export", "1", "exported.pf"}, env).exitCode, int(Ctl::Ok));
        QVERIFY(QFile::exists(QDir(env.workingDir).filePath("exported.pf")));
        QCOMPARE(localRuns, 2);
        // Without hardware and without the demo's model file there is no mouse.
        QVERIFY(QFile::remove(root.filePath("modules/setting/demoMouse.ini")));
        out = runTool({"--virtual", "status"}, env);
        QCOMPARE(out.exitCode, int(Ctl::NoMouse));
        QVERIFY(out.err.contains(QLatin1String("no virtual mouse")));
    }

    // Each switch writes only the commands of what differs, in the usual order; a 560 gun model
    // also selects key matrix 1, which the mouse may change by itself, on every switch.
    void aSwitchSendsWhatDiffers_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<Commands>("change");
        QTest::addColumn<QStringList>("sent");
        const Commands none, dpi{CtlRig::words("dpi set 400 900")},
            light{CtlRig::words("light set --effect breath --color 1=ff8000")}, button{CtlRig::words("button 4 key:F5")},
            macro{CtlRig::words("button 5 macro:Reload:hold")};
        QTest::newRow("553 equal") << k553 << none << QStringList{};
        QTest::newRow("553 one stage") << k553 << dpi << QStringList{"11 04"};
        QTest::newRow("553 light") << k553 << light << QStringList{"0d 01", "10 01", "10 01"};
        QTest::newRow("553 button") << k553 << button << QStringList{"12 01"};
        QTest::newRow("553 macro") << k553 << macro << QStringList{"12 01"};
        QTest::newRow("560 equal") << k560 << none << QStringList{};
        QTest::newRow("560 one stage") << k560 << dpi << QStringList{"0c 01"};
        // The effect and the colours of a plain model both live in block 1.
        QTest::newRow("560 light") << k560 << light << QStringList{"0c 01", "0c 01"};
        QTest::newRow("560 button") << k560 << button << QStringList{"0d 01"};
        QTest::newRow("560 gun equal") << k560Gun << none << QStringList{"02 01"};
        QTest::newRow("560 gun one stage") << k560Gun << dpi << QStringList{"0c 01", "0c 02", "0c 03", "0c 04", "02 01"};
        QTest::newRow("560 gun light") << k560Gun << light
                                       << QStringList{"0c 01", "0c 02", "0c 03", "0c 04", "0c 00", "02 01"};
        QTest::newRow("560 gun macro") << k560Gun << macro << QStringList{"0d 01", "02 01"};
    }
    void aSwitchSendsWhatDiffers()
    {
        QFETCH(Model, model);
        QFETCH(Commands, change);
        QFETCH(QStringList, sent);
        CtlRig rig(model);
        twoProfiles(rig, change);
        QCOMPARE(rig.run(CtlRig::words("profile use 1")).exitCode, int(Ctl::Ok));
        QCOMPARE(commandsOf(rig.mouse->trace()), sent);
        // And back: the same commands (with profile 2's values).
        rig.mouse->clearTrace();
        QCOMPARE(rig.run(CtlRig::words("profile use 2")).exitCode, int(Ctl::Ok));
        QCOMPARE(commandsOf(rig.mouse->trace()).size(), sent.size());
    }

    // What the mouse did not take is sent again; --full sends everything whatever it holds.
    void aFailedWriteIsSentAgain_data()
    {
        QTest::addColumn<Model>("model");
        QTest::newRow("553") << k553;
        QTest::newRow("560 gun") << k560Gun;
    }
    void aFailedWriteIsSentAgain()
    {
        QFETCH(Model, model);
        CtlRig rig(model);
        twoProfiles(rig, {});
        runAll(rig, {{"profile", "use", "1", "--full"}});
        QStringList everything = commandsOf(rig.mouse->trace());
        everything.removeDuplicates();
        QVERIFY(!rig.mouse->trace().filter(" -> output ").isEmpty());
        // The mouse refuses every report of the next full send, then takes reports again.
        rig.mouse->failFromReport(1);
        QCOMPARE(rig.run(CtlRig::words("profile use 1 --full")).exitCode, int(Ctl::MouseRefused));
        rig.mouse->clearFailures();
        rig.mouse->clearTrace();
        runAll(rig, {{"profile", "use", "2"}});
        // Every slot again, in the same order (a full send writes some slots twice: the 553's
        // colours, the 560's blocks 1 to 4 for the DPI and again for the lighting).
        QStringList sent = commandsOf(rig.mouse->trace());
        sent.removeDuplicates();
        QCOMPARE(sent, everything);
        rig.mouse->clearTrace();
        runAll(rig, {{"profile", "use", "1"}});
        QCOMPARE(rig.mouse->trace().filter(" -> output "), QStringList());
    }
};

QTEST_MAIN(tst_CtlCommands)
#include "tst_ctl_commands.moc"
