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

// is560, isGun, isColorful, is55328
const Model k553{}, k553Colourful{false, false, true, false, {}}, k55328{false, false, false, true, {}};
const Model k560{true, false, false, false, {}}, k560Gun{true, true, true, false, {}};

const QVariantList kShippedStages{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
const QVariantList kShippedColours{255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0,
                                   0, 255, 255, 0, 0, 255, 255, 0, 255, 255, 255, 255};
// The fire periods of the guns in the shipped slots.
const QVariantList kPeriods{9, 9, 9};

QVariantList stagesWith(int index, int dpi)
{
    QVariantList v = kShippedStages;
    v[index] = dpi;
    return v;
}

QVariantList coloursWith(int r, int g, int b)
{
    QVariantList v = kShippedColours;
    v[21] = r;
    v[22] = g;
    v[23] = b;
    return v;
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

void writeMacro(const QString &modules, const QString &name, const QStringList &steps, int repeat)
{
    QSettings m(QDir(modules).filePath(QStringLiteral("macro/%1.bin").arg(name)), QSettings::IniFormat);
    m.setValue(QStringLiteral("config/index"), 0);
    m.setValue(QStringLiteral("config/total"), steps.size());
    m.setValue(QStringLiteral("config/repeat"), repeat);
    for (int i = 0; i < steps.size(); ++i)
        m.setValue(QStringLiteral("macro/%1").arg(i), steps.at(i));
    QSettings(QDir(modules).filePath(QStringLiteral("setting/name.bin")), QSettings::IniFormat)
        .setValue(QStringLiteral("macro/macroName"), QStringList{name, QStringLiteral("loaderbeacon")});
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

using Commands = QList<QStringList>;

int outputReports(const QStringList &trace)
{
    return int(trace.filter(QStringLiteral(" -> output ")).size());
}

// Profile 2 a copy of profile 1 with `change` made in it; both sent once, profile 2 in use.
void twoProfiles(CtlRig &rig, const Commands &change)
{
    QSettings macro(rig.dir.filePath(QStringLiteral("Reload.mc")), QSettings::IniFormat);
    macro.setValue(QStringLiteral("config/total"), 2);
    macro.setValue(QStringLiteral("macro/0"), QStringLiteral("1,R"));
    macro.setValue(QStringLiteral("macro/1"), QStringLiteral("2,R"));
    macro.sync();
    const Commands setUp = Commands{{"macro", "import", macro.fileName()},
                                    {"profile", "import", "2", rig.file(QStringLiteral("setting/p1.bin"))},
                                    CtlRig::words("profile use 2")}
                           + change + Commands{CtlRig::words("profile use 1"), CtlRig::words("profile use 2")};
    for (const QStringList &args : setUp) {
        const CtlOutput out = rig.run(args);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(args.join(' ') + ": " + out.err));
    }
    rig.mouse->clearTrace();
}

// How a command-line row finds the mouse.
enum Setup { Plugged, Unplugged, Denied, Refusing, Executable };

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

        QTest::newRow("553 dpi") << k553 << "dpi set --stages 3 400 800 1700"
                                 << ViewCall([](Rig &r) { r.view->mouseSetDpi(3, "3360", stagesWith(2, 1700)); })
                                 << Stored{{"p1.bin|mouse/currentDpiCount", "3"},
                                           {"p1.bin|mouse/dpiValueArray", "400,800,1700,3200,4800,6400,8000,12000"}};
        QTest::newRow("560 gun dpi, stages kept")
            << k560Gun << "dpi set 500" << ViewCall([](Rig &r) { r.view->mouseSetDpi(4, "3360", stagesWith(0, 500)); })
            << Stored{{"p1.bin|mouse/currentDpiCount", "4"}};
        QTest::newRow("553 rate") << k553 << "rate set 250" << ViewCall([](Rig &r) { r.view->mouseSetReportRate(4); })
                                  << Stored{{"p1.bin|mouse/reportRate", "1"}};
        QTest::newRow("560 rate") << k560 << "rate set 125Hz" << ViewCall([](Rig &r) { r.view->mouseSetReportRate(8); })
                                  << Stored{{"p1.bin|mouse/reportRate", "0"}};
        QTest::newRow("553 colourful light") << k553Colourful << "light set --effect 5 --speed 1 --color 8=010203"
                                             << ViewCall([](Rig &r) {
                                                    r.view->mouseSetRGBEffect(5, 1, 4);
                                                    r.view->mouseSetRGBColor(0, coloursWith(1, 2, 3));
                                                })
                                             << Stored{{"p1.bin|mouse/lightValue", "5,1,4"}};
        // The 55328 keeps an eighth colour only for its breath loop.
        QTest::newRow("55328 light, breath") << k55328 << "light set --effect breath --color=8=010203"
                                             << ViewCall([](Rig &r) {
                                                    r.view->mouseSetRGBEffect(1, 0, 4);
                                                    r.view->mouseSetRGBColor(1, coloursWith(0, 0, 0));
                                                })
                                             << Stored{{"p1.bin|mouse/colorValue",
                                                        "255,0,0,255,128,0,255,255,0,0,255,0,0,255,255,0,0,255,255,0,255,0,0,0"}};
        QTest::newRow("560 gun light") << k560Gun << "light set --effect twinkling"
                                       << ViewCall([](Rig &r) {
                                              r.view->mouseSetRGBEffect(4, 2, 4);
                                              r.view->mouseSetRGBColor(0, kShippedColours);
                                          })
                                       << Stored{{"p1.bin|mouse/lightValue", "4,2,4"}};
        const ViewCall sniper = [](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 5, {5, 0, 4, 0}), true, kPeriods); };
        const Stored sniperStored{{"p1.bin|mouseKeyMatrix/5", "5,0,4,0"}};
        QTest::newRow("553 sniper") << k553 << "button 6 dpi:sniper" << sniper << sniperStored;
        QTest::newRow("560 sniper") << k560 << "button 6 dpi:sniper" << sniper << sniperStored;
        QTest::newRow("553 system as media")
            << k553 << "button 4 system:computer"
            << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 3, {6, 0, 0x94, 1}), true, kPeriods); })
            << Stored{{"p1.bin|mouseKeyMatrix/3", "6,0,148,1"}};
        QTest::newRow("560 gun key, three matrices more")
            << k560Gun << "button 4 gun:2"
            << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 3, {8, 0, 2, 0}), true, kPeriods); })
            << Stored{{"p1.bin|mouseKeyMatrix/3", "8,0,2,0"}};
        // A macro goes to the slot of its button, encoded as the editor encodes it, then the matrix.
        QTest::newRow("553 macro") << k553 << "button 3 macro:hello:hold"
                                   << ViewCall([](Rig &r) {
                                          r.view->mouseSendMacroData({0, 2, 5, 4, 0x81, 4, 0, 0}, 2);
                                          r.view->mouseSetKeyMatrix(matrixWith(r, 2, {4, 2, 2, 0}), true, kPeriods);
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
        writeMacro(tool.modules, "hello", {"1,A", "0,50", "2,A"}, 2);
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
        auto bad = [](const char *name, const QString &line, const QString &message) {
            QTest::newRow(name) << Plugged << line << int(Ctl::Usage) << QStringList{message};
        };
        bad("unknown command", "frob", "unknown command 'frob'");
        bad("no action", "profile", "'profile' needs an action");
        bad("unknown option", "dpi set --frob 1", "unknown option '--frob'");
        bad("extra word", "status now", "too many arguments");
        bad("button 0", "button 0 left", "buttons are 1 to 8");
        bad("button 17", "button 17 left", "buttons are 1 to 8");
        bad("button not a number", "button two left", "'two' is not a number");
        bad("unknown key", "button 3 key:NOPE", "unknown key 'NOPE'");
        bad("mouse button as key", "button 3 key:MS-L", "'MS-L' is a mouse button");
        bad("three keys", "button 3 combo:a+b+c", "at most two keys");
        bad("unknown media", "button 3 media:loud", "unknown media function 'loud'");
        bad("unknown function", "button 3 jump", "unknown function 'jump'");
        bad("fire rate", "button 3 fire:A:0", "fire rate is 1 to 255");
        bad("no such macro", "button 3 macro:none", "no macro 'none'");
        bad("last left click", "button 1 right", "only one with the left click");
        bad("dpi below range", "dpi set 100", "outside the model's range 200 to 12000");
        bad("dpi above range", "dpi set 400 12100", "outside the model's range");
        bad("dpi off step", "dpi set 450", "not a multiple of the model's step 100");
        bad("dpi not a number", "dpi set fast", "'fast' is not a DPI value");
        bad("too many stages", "dpi set --stages 9", "--stages takes 1 to 8");
        bad("dpi nothing", "dpi set", "give --stages N, DPI values, or both");
        bad("current stage", "dpi current 5", "active stages are 1 to 4");
        bad("rate", "rate set 300", "one of 125, 250, 500, 1000");
        bad("speed", "light set --speed 5", "step 0 to 4");
        bad("effect", "light set --effect disco", "unknown effect 'disco'");
        bad("colour", "light set --color 9=ffffff", "--color takes K=RRGGBB");
        bad("profile 7", "profile use 7", "numbered 1 to 6");
        bad("unlisted profile", "profile use 4", "not in the profile list");
        bad("missing profile file", "profile import 2 @dir/ko-none.pf", "no such file");
        bad("unreadable profile file", "profile import 2 @dir", "cannot be read");
        bad("not a profile", "profile import 2 @garbage", "not a profile file");
        bad("missing macro file", "macro import @dir/ko-none.mc", "no such file");
        bad("not a macro", "macro import @garbage", "not a macro file");
        bad("bad macro name", "macro import @macro ..", "cannot be a macro name");
        bad("export unknown macro", "macro export none @dir/x.mc", "no macro 'none'");
        bad("rule for profile 7", "rule add 7 class:x", "there is no profile 7");
        bad("rule without text", "rule add 1 class:", "has no text");
        bad("rule of no kind", "rule add 1 window:x", "class:TEXT, exe:TEXT or title:TEXT");
        bad("rule too long", "rule add 1 title:" + QString(201, 'x'), "longer than 200");
        bad("rule profile word", "rule add one class:x", "'one' is not a number");
        bad("remove no rule", "rule remove 1", "there are no rules");
        bad("rule on what", "rule on now", "too many arguments");
        bad("export nowhere", "profile export 1 @dir/ko-no-such-dir/p.pf", "folder does not exist");

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
        writeMacro(rig.modules, "hello", {"1,A", "2,A"}, 1);
        line.replace("@dir", rig.dir.path()).replace("@garbage", garbage.fileName());
        line.replace("@macro", rig.dir.filePath("a.mc"));
        QStringList commands = line.split(" ; ");
        line = commands.takeLast();
        for (const QString &command : commands) {
            QCOMPARE(rig.run(CtlRig::words(command)).exitCode, int(Ctl::Ok));
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
        ToolEnvironment env;
        env.executableDir = rig.dir.path();
        env.workingDir = rig.dir.path();
        env.programKey = QStringLiteral("ko-ctl-test-nobody-runs-this");
        env.clock = &rig.clock;
        env.onLocalRun = [&] { ++localRuns; };
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
        if (exitCode == Ctl::Usage || exitCode == Ctl::NoMouse) {
            QCOMPARE(rig.files(), before);
            QCOMPARE(rig.mouse->reportCount(), 0);
        }
        if (line.startsWith(QLatin1String("rule")))
            QCOMPARE(rig.mouse->reportCount(), 0);
        if (setup == Refusing)
            QCOMPARE(rig.storedText("setting/p1.bin", "mouse/reportRate"), QStringLiteral("2"));
        if (setup == Plugged && line == QLatin1String("status")) {
            rig.fresh();
            const QJsonObject json = QJsonDocument::fromJson(rig.run({"status", "--json"}).out.toUtf8()).object();
            const QStringList values{json["mouse"]["family"].toString(), json["mouse"]["model"].toString(),
                                     QString::number(json["dpi"]["current"].toInt()),
                                     QString::number(json["dpi"]["active"].toInt()),
                                     QString::number(json["reportRate"].toInt()), json["light"]["effect"].toString(),
                                     json["profile"]["name"].toString()};
            QCOMPARE(values, (QStringList{"560", "KESTREL ORBIT MOUSE K7", "2", "4", "1000", "static", "Standard"}));
        }
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
        const CtlOutput out = rig.run({"profile", "use", "2"});
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
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
        QCOMPARE(rig.run({"profile", "use", "2"}).exitCode, int(Ctl::Ok)); // already in use: nothing to do
        QCOMPARE(rig.mouse->reportCount(), 0);

        const QString mc = rig.dir.filePath("Reload.mc");
        {
            QSettings m(mc, QSettings::IniFormat);
            m.setValue("config/total", 2);
            m.setValue("config/repeat", 3);
            m.setValue("macro/0", "1,R");
            m.setValue("macro/1", "2,R");
        }
        QCOMPARE(rig.run({"macro", "import", mc}).exitCode, int(Ctl::Ok));
        QCOMPARE(contents(rig.file("macro/Reload.bin")), contents(mc));
        QCOMPARE(rig.run({"macro", "list"}).out, QStringLiteral("Reload\n"));
        QCOMPARE(rig.run({"macro", "show", "Reload"}).out, QStringLiteral("repeat 3\npress R\nrelease R\n"));
        QCOMPARE(rig.run({"macro", "import", mc, "Second"}).exitCode, int(Ctl::Ok));
        QCOMPARE(rig.storedText("setting/name.bin", "macro/macroName"), QStringLiteral("Reload,Second"));
        QCOMPARE(rig.run({"macro", "import", mc}).exitCode, int(Ctl::Usage)); // never replaces one
        const QString back = rig.dir.filePath("back.mc");
        QCOMPARE(rig.run({"macro", "export", "Second", back}).exitCode, int(Ctl::Ok));
        QCOMPARE(contents(back), contents(mc));

        rig.store("setting/p1.bin", "mouse/reportRate", 1);
        rig.mouse->clearTrace();
        const QString pf = rig.dir.filePath("p1.pf");
        QCOMPARE(rig.run({"profile", "export", "1", pf}).exitCode, int(Ctl::Ok));
        QCOMPARE(contents(pf), contents(rig.file("setting/p1.bin")));
        QCOMPARE(rig.run({"profile", "reset", "3"}).exitCode, int(Ctl::Ok));
        QCOMPARE(contents(rig.file("setting/p3.bin")), contents(rig.file("setting/pD.bin")));
        QCOMPARE(rig.mouse->reportCount(), 0);
        rig.fresh();
        QCOMPARE(rig.run({"profile", "use", "1"}).exitCode, int(Ctl::Ok));
        QCOMPARE(rig.run({"profile", "reset", "1"}).exitCode, int(Ctl::Ok));
        QCOMPARE(rig.storedText("setting/p1.bin", "mouse/reportRate"), QStringLiteral("3"));
        QCOMPARE(int(rig.mouse->memory().reportRate), 1);
    }

    // The demo's virtual mouse with its memory written out, and file names taken from the working folder.
    void theVirtualMouseAndTheWorkingFolder()
    {
        QTemporaryDir root;
        QVERIFY(ShippedData::copyTo(root.filePath("modules")));
        ToolEnvironment env;
        env.executableDir = root.path();
        env.workingDir = root.filePath("work");
        QDir().mkpath(env.workingDir);
        env.userDataDir = root.filePath("user");
        env.programKey = QStringLiteral("ko-ctl-test-nobody-runs-this");
        VirtualClock clock;
        env.clock = &clock;
        int localRuns = 0;
        env.onLocalRun = [&] { ++localRuns; };

        const QString memory = root.filePath("memory.json");
        CtlOutput out = runTool({"--virtual", "rate", "set", "250", "--memory-file", memory}, env);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
        QCOMPARE(QJsonDocument::fromJson(contents(memory)).object().value("reportRate").toInt(), 4);
        QCOMPARE(QSettings(root.filePath("modules/setting/p1.bin"), QSettings::IniFormat).value("mouse/reportRate"),
                 QVariant("1"));
        out = runTool({"profile", "export", "1", "exported.pf"}, env);
        QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
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
        QVERIFY(rig.run(CtlRig::words("profile use 1 --full")).exitCode == Ctl::Ok);
        QStringList everything = commandsOf(rig.mouse->trace());
        everything.removeDuplicates();
        QVERIFY(outputReports(rig.mouse->trace()) > 0);
        // The mouse refuses every report of the next full send, then takes reports again.
        rig.mouse->failFromReport(1);
        QCOMPARE(rig.run(CtlRig::words("profile use 1 --full")).exitCode, int(Ctl::MouseRefused));
        rig.mouse->clearFailures();
        rig.mouse->clearTrace();
        QVERIFY(rig.run(CtlRig::words("profile use 2")).exitCode == Ctl::Ok);
        // Every slot again, in the same order (a full send writes some slots twice: the 553's
        // colours, the 560's blocks 1 to 4 for the DPI and again for the lighting).
        QStringList sent = commandsOf(rig.mouse->trace());
        sent.removeDuplicates();
        QCOMPARE(sent, everything);
        rig.mouse->clearTrace();
        QVERIFY(rig.run(CtlRig::words("profile use 1")).exitCode == Ctl::Ok);
        QCOMPARE(outputReports(rig.mouse->trace()), 0);
    }
};

QTEST_MAIN(tst_CtlCommands)
#include "tst_ctl_commands.moc"
