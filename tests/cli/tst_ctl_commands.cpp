// kestrel-orbit-ctl's commands against the virtual mouse, without a running program: what reaches
// the mouse (the same reports as the view's slots send for the same values), what the profile files
// hold afterwards, and that bad input changes nothing.
#include "CtlRig.h"
#include "CtlTool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <functional>

namespace {

using ViewCall = std::function<void(Rig &)>;
using Prepare = std::function<void(CtlRig &)>;
using Probe = std::function<QByteArray(const VirtualMouseMemory &)>;
using Stored = QList<std::pair<QString, QString>>; // "file|group/key" → the text stored

// is560, isGun, isColorful, is55328
const Model k553{}, k553Colourful{false, false, true, false, {}}, k55328{false, false, false, true, {}};
const Model k560{true, false, false, false, {}}, k560Gun{true, true, true, false, {}};

QByteArray hex(const QByteArray &spaced)
{
    return QByteArray::fromHex(spaced);
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

const QVariantList kShippedStages{400, 800, 1600, 3200, 4800, 6400, 8000, 12000};
// The fire periods of the guns in the shipped slots.
const QVariantList kPeriods{9, 9, 9};

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

Probe field(QByteArray VirtualMouseMemory::*f)
{
    return [f](const VirtualMouseMemory &m) { return m.*f; };
}
Probe part(QList<QByteArray> VirtualMouseMemory::*f, int n, int from, int len)
{
    return [=](const VirtualMouseMemory &m) { return (m.*f).value(n).mid(from, len); };
}

} // namespace

Q_DECLARE_METATYPE(Model)
Q_DECLARE_METATYPE(ViewCall)
Q_DECLARE_METATYPE(Prepare)
Q_DECLARE_METATYPE(Probe)
Q_DECLARE_METATYPE(Stored)

class tst_CtlCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void sameReportsAsTheView_data();
    void sameReportsAsTheView();
    void functionForms_data();
    void functionForms();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void withoutAMouseNothingChanges_data();
    void withoutAMouseNothingChanges();
    void aRefusedCommandIsReported();
    void profileUseSendsEveryPage();
    void filesComeAndGoWhole();
    void statusAndDevices();
    void applicationRules();
    void theToolItself();
};

// One row per command: the tool's words, the same values handed to the view's slots, the mouse's
// memory afterwards and what the profile holds.
void tst_CtlCommands::sameReportsAsTheView_data()
{
    QTest::addColumn<Model>("model");
    QTest::addColumn<Prepare>("prepare");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<ViewCall>("viewCall");
    QTest::addColumn<Probe>("probe");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<Stored>("stored");

    const Prepare nothing = [](CtlRig &) {};
    QTest::newRow("553 dpi") << k553 << nothing << QStringList{"dpi", "set", "--stages", "3", "400", "800", "1700"}
                             << ViewCall([](Rig &r) {
                                    QVariantList v = kShippedStages;
                                    v[2] = 1700;
                                    r.view->mouseSetDpi(3, "3360", v);
                                })
                             << field(&VirtualMouseMemory::dpiStageCodes) << hex("03 07 10 80 80 80 80 80")
                             << Stored{{"setting/p1.bin|mouse/currentDpiCount", "3"},
                                       {"setting/p1.bin|mouse/dpiValueArray", "400,800,1700,3200,4800,6400,8000,12000"}};
    QTest::newRow("560 gun dpi, stages kept") << k560Gun << nothing << QStringList{"dpi", "set", "500"}
                                              << ViewCall([](Rig &r) {
                                                     QVariantList v = kShippedStages;
                                                     v[0] = 500;
                                                     r.view->mouseSetDpi(4, "3360", v);
                                                 })
                                              << part(&VirtualMouseMemory::profileBlocks, 4, 84, 17)
                                              << hex("04 07 0f 1f 2f 3f 4f 77 04 07 0f 1f 2f 3f 4f 77 0f")
                                              << Stored{{"setting/p1.bin|mouse/currentDpiCount", "4"}};
    QTest::newRow("553 rate") << k553 << nothing << QStringList{"rate", "set", "250"}
                              << ViewCall([](Rig &r) { r.view->mouseSetReportRate(4); })
                              << Probe([](const VirtualMouseMemory &m) { return QByteArray(1, char(m.reportRate)); })
                              << hex("04") << Stored{{"setting/p1.bin|mouse/reportRate", "1"}};
    QTest::newRow("560 rate") << k560 << nothing << QStringList{"rate", "set", "125Hz"}
                              << ViewCall([](Rig &r) { r.view->mouseSetReportRate(8); })
                              << Probe([](const VirtualMouseMemory &m) { return QByteArray(1, char(m.reportRate)); })
                              << hex("08") << Stored{{"setting/p1.bin|mouse/reportRate", "0"}};

    // Colours as the shipped profile has them, the eighth one changed.
    QVariantList colours{255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 255, 1, 2, 3};
    QTest::newRow("553 colourful light") << k553Colourful << nothing
                                         << QStringList{"light", "set", "--effect", "5", "--speed", "1", "--color", "8=010203"}
                                         << ViewCall([=](Rig &r) {
                                                r.view->mouseSetRGBEffect(5, 1, 4);
                                                r.view->mouseSetRGBColor(0, colours);
                                            })
                                         << field(&VirtualMouseMemory::ledEffect) << hex("05 ff 07")
                                         << Stored{{"setting/p1.bin|mouse/lightValue", "5,1,4"}};
    // The 55328 keeps an eighth colour only for its breath loop.
    QVariantList dark = colours;
    dark[21] = dark[22] = dark[23] = 0;
    QTest::newRow("55328 light, breath") << k55328 << nothing << QStringList{"light", "set", "--effect", "breath", "--color=8=010203"}
                                         << ViewCall([=](Rig &r) {
                                                r.view->mouseSetRGBEffect(1, 0, 4);
                                                r.view->mouseSetRGBColor(1, dark);
                                            })
                                         << field(&VirtualMouseMemory::fixLedColor) << hex("ff 00 00")
                                         << Stored{{"setting/p1.bin|mouse/colorValue",
                                                    "255,0,0,255,128,0,255,255,0,0,255,0,0,255,255,0,0,255,255,0,255,0,0,0"}};
    QTest::newRow("560 gun light") << k560Gun << nothing << QStringList{"light", "set", "--effect", "twinkling"}
                                   << ViewCall([](Rig &r) {
                                          QVariantList c = {255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 255, 255, 255, 255};
                                          r.view->mouseSetRGBEffect(4, 2, 4);
                                          r.view->mouseSetRGBColor(0, c);
                                      })
                                   << part(&VirtualMouseMemory::profileBlocks, 3, 71, 3) << hex("02 ff 00")
                                   << Stored{{"setting/p1.bin|mouse/lightValue", "4,2,4"}};

    // Key matrix entries whose device form the view's tests fix.
    QTest::newRow("553 sniper") << k553 << nothing << QStringList{"button", "6", "dpi:sniper"}
                                << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 5, {5, 0, 4, 0}), true, kPeriods); })
                                << part(&VirtualMouseMemory::keyMatrices, 0, 20, 4) << hex("07 00 04 01")
                                << Stored{{"setting/p1.bin|mouseKeyMatrix/5", "5,0,4,0"}};
    QTest::newRow("560 sniper") << k560 << nothing << QStringList{"button", "6", "dpi:sniper"}
                                << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 5, {5, 0, 4, 0}), true, kPeriods); })
                                << part(&VirtualMouseMemory::keyMatrices, 0, 20, 4) << hex("0b 00 01 01")
                                << Stored{{"setting/p1.bin|mouseKeyMatrix/5", "5,0,4,0"}};
    QTest::newRow("553 system as media") << k553 << nothing << QStringList{"button", "4", "system:computer"}
                                         << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 3, {6, 0, 0x94, 1}), true, kPeriods); })
                                         << part(&VirtualMouseMemory::keyMatrices, 0, 12, 4) << hex("03 00 94 01")
                                         << Stored{{"setting/p1.bin|mouseKeyMatrix/3", "6,0,148,1"}};
    QTest::newRow("560 gun key, three matrices more") << k560Gun << nothing << QStringList{"button", "4", "gun:2"}
                                                      << ViewCall([](Rig &r) { r.view->mouseSetKeyMatrix(matrixWith(r, 3, {8, 0, 2, 0}), true, kPeriods); })
                                                      << part(&VirtualMouseMemory::keyMatrices, 2, 0, 16)
                                                      << hex("0b 01 09 00 01 00 f1 00 01 00 f2 00 08 00 00 00")
                                                      << Stored{{"setting/p1.bin|mouseKeyMatrix/3", "8,0,2,0"}};
    // A macro goes to the slot of its button, encoded as the editor encodes it, then the matrix.
    QTest::newRow("553 macro") << k553
                               << Prepare([](CtlRig &c) { writeMacro(c.modules, "hello", {"1,A", "0,50", "2,A"}, 2); })
                               << QStringList{"button", "3", "macro:hello:hold"}
                               << ViewCall([](Rig &r) {
                                      r.view->mouseSendMacroData({0, 2, 5, 4, 0x81, 4, 0, 0}, 2);
                                      r.view->mouseSetKeyMatrix(matrixWith(r, 2, {4, 2, 2, 0}), true, kPeriods);
                                  })
                               << Probe([](const VirtualMouseMemory &m) {
                                      return m.macros.value(3).left(10) + m.keyMatrices.value(0).mid(8, 4);
                                  })
                               << hex("00 02 05 04 81 04 00 00 00 00 09 02 03 00")
                               << Stored{{"setting/p1.bin|mouseMacroKey/2", "hello"},
                                         {"setting/p1.bin|mouseKeyMatrix/2", "4,2,2,0"}};
}

void tst_CtlCommands::sameReportsAsTheView()
{
    QFETCH(Model, model);
    QFETCH(Prepare, prepare);
    QFETCH(QStringList, args);
    QFETCH(ViewCall, viewCall);
    QFETCH(Probe, probe);
    QFETCH(QByteArray, expected);
    QFETCH(Stored, stored);

    CtlRig tool(model);
    prepare(tool);
    tool.connect();
    const CtlOutput out = tool.run(args);
    QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));

    Rig view(model);
    viewCall(view);
    QCOMPARE(reports(tool.mouse->trace()), reports(view.mouse->trace()));
    QVERIFY(!tool.mouse->trace().isEmpty());
    QCOMPARE(probe(tool.mouse->memory()).toHex(' '), expected.toHex(' '));
    for (const auto &[where, text] : stored) {
        const QVariant v = tool.stored(where.section('|', 0, 0), where.section('|', 1));
        const QString got = v.typeId() == QMetaType::QStringList ? v.toStringList().join(',') : v.toString();
        QCOMPARE(got, text);
    }
    QCOMPARE(tool.mouse->protocolErrors(), QStringList());
}

// Each function form is stored, sent and read back as it was given (names in any case come back
// as the window labels them).
void tst_CtlCommands::functionForms_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("shown");

    for (const char *f : {"right", "middle", "back", "forward", "double-fire", "key:F5", "key:Enter", "key:KP1",
                          "combo:LCtrl+LShift+A", "combo:RAlt+Tab", "fire:Space:20:3", "fire:B:1:255",
                          "dpi:up", "dpi:down", "dpi:loop", "dpi:sniper", "gun:1", "gun:2", "gun:3",
                          "macro:hello:once", "macro:hello:loop", "macro:hello:hold"})
        QTest::newRow(f) << f << f;
    for (const char *m : {"player", "next", "previous", "stop", "mute", "play-pause", "volume-up", "volume-down"})
        QTest::newRow(m) << QStringLiteral("media:%1").arg(m) << QStringLiteral("media:%1").arg(m);
    for (const char *s : {"computer", "home", "search", "maximize", "minimize", "desktop", "run"})
        QTest::newRow(s) << QStringLiteral("system:%1").arg(s) << QStringLiteral("system:%1").arg(s);
    for (const char *s : {"new", "cut", "copy", "paste", "save", "print", "find", "redo", "undo", "select-all"})
        QTest::newRow(s) << QStringLiteral("shortcut:%1").arg(s) << QStringLiteral("shortcut:%1").arg(s);
    QTest::newRow("lower-case key") << "key:f5" << "key:F5";
    QTest::newRow("modifier names") << "combo:ctrl+shift+a" << "combo:LCtrl+LShift+A";
    QTest::newRow("fire defaults") << "fire:a" << "fire:A:10:0";
    QTest::newRow("macro default mode") << "macro:hello" << "macro:hello:once";
    QTest::newRow("factory function") << "default" << "right";
}

void tst_CtlCommands::functionForms()
{
    QFETCH(QString, given);
    QFETCH(QString, shown);
    CtlRig rig(k560Gun);
    writeMacro(rig.modules, "hello", {"1,A", "2,A"}, 1);
    rig.run({"button", "2", "key:A"});
    const CtlOutput set = rig.run({"button", "2", given});
    QVERIFY2(set.exitCode == Ctl::Ok, qPrintable(set.err));
    rig.fresh();
    const CtlOutput get = rig.run({"button", "2"});
    QCOMPARE(get.out.section(QLatin1Char(' '), 0, 0), shown);
}

// Bad input: a clear message, exit status 1, and neither the files nor the mouse touched.
void tst_CtlCommands::badInputChangesNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    const QString dir = QDir::tempPath();
    QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command 'frob'";
    QTest::newRow("no action") << QStringList{"profile"} << "'profile' needs an action";
    QTest::newRow("unknown option") << QStringList{"dpi", "set", "--frob", "1"} << "unknown option '--frob'";
    QTest::newRow("extra word") << QStringList{"status", "now"} << "too many arguments";
    QTest::newRow("button 0") << QStringList{"button", "0", "left"} << "buttons are 1 to 8";
    QTest::newRow("button 17") << QStringList{"button", "17", "left"} << "buttons are 1 to 8";
    QTest::newRow("button not a number") << QStringList{"button", "two", "left"} << "'two' is not a number";
    QTest::newRow("unknown key") << QStringList{"button", "3", "key:NOPE"} << "unknown key 'NOPE'";
    QTest::newRow("mouse button as key") << QStringList{"button", "3", "key:MS-L"} << "'MS-L' is a mouse button";
    QTest::newRow("three keys") << QStringList{"button", "3", "combo:a+b+c"} << "at most two keys";
    QTest::newRow("unknown media") << QStringList{"button", "3", "media:loud"} << "unknown media function 'loud'";
    QTest::newRow("unknown function") << QStringList{"button", "3", "jump"} << "unknown function 'jump'";
    QTest::newRow("fire rate") << QStringList{"button", "3", "fire:A:0"} << "fire rate is 1 to 255";
    QTest::newRow("no such macro") << QStringList{"button", "3", "macro:none"} << "no macro 'none'";
    QTest::newRow("last left click") << QStringList{"button", "1", "right"} << "only one with the left click";
    QTest::newRow("dpi below range") << QStringList{"dpi", "set", "100"} << "outside the model's range 200 to 12000";
    QTest::newRow("dpi above range") << QStringList{"dpi", "set", "400", "12100"} << "outside the model's range";
    QTest::newRow("dpi off step") << QStringList{"dpi", "set", "450"} << "not a multiple of the model's step 100";
    QTest::newRow("dpi not a number") << QStringList{"dpi", "set", "fast"} << "'fast' is not a DPI value";
    QTest::newRow("too many stages") << QStringList{"dpi", "set", "--stages", "9"} << "--stages takes 1 to 8";
    QTest::newRow("dpi nothing") << QStringList{"dpi", "set"} << "give --stages N, DPI values, or both";
    QTest::newRow("current stage") << QStringList{"dpi", "current", "5"} << "active stages are 1 to 4";
    QTest::newRow("rate") << QStringList{"rate", "set", "300"} << "one of 125, 250, 500, 1000";
    QTest::newRow("speed") << QStringList{"light", "set", "--speed", "5"} << "step 0 to 4";
    QTest::newRow("effect") << QStringList{"light", "set", "--effect", "disco"} << "unknown effect 'disco'";
    QTest::newRow("colour") << QStringList{"light", "set", "--color", "9=ffffff"} << "--color takes K=RRGGBB";
    QTest::newRow("profile 7") << QStringList{"profile", "use", "7"} << "numbered 1 to 6";
    QTest::newRow("unlisted profile") << QStringList{"profile", "use", "4"} << "not in the profile list";
    QTest::newRow("missing profile file") << QStringList{"profile", "import", "2", dir + "/ko-none.pf"} << "no such file";
    QTest::newRow("unreadable profile file") << QStringList{"profile", "import", "2", dir} << "cannot be read";
    QTest::newRow("not a profile") << QStringList{"profile", "import", "2", "@garbage"} << "not a profile file";
    QTest::newRow("missing macro file") << QStringList{"macro", "import", dir + "/ko-none.mc"} << "no such file";
    QTest::newRow("not a macro") << QStringList{"macro", "import", "@garbage"} << "not a macro file";
    QTest::newRow("bad macro name") << QStringList{"macro", "import", "@macro", ".."} << "cannot be a macro name";
    QTest::newRow("export unknown macro") << QStringList{"macro", "export", "none", dir + "/x.mc"} << "no macro 'none'";
    QTest::newRow("rule for profile 7") << QStringList{"rule", "add", "7", "class:x"} << "there is no profile 7";
    QTest::newRow("rule without text") << QStringList{"rule", "add", "1", "class:"} << "has no text";
    QTest::newRow("rule of no kind") << QStringList{"rule", "add", "1", "window:x"} << "class:TEXT, exe:TEXT or title:TEXT";
    QTest::newRow("rule too long") << QStringList{"rule", "add", "1", "title:" + QString(201, 'x')} << "longer than 200";
    QTest::newRow("rule profile word") << QStringList{"rule", "add", "one", "class:x"} << "'one' is not a number";
    QTest::newRow("remove no rule") << QStringList{"rule", "remove", "1"} << "there are no rules";
    QTest::newRow("rule on what") << QStringList{"rule", "on", "now"} << "too many arguments";
    QTest::newRow("export nowhere") << QStringList{"profile", "export", "1", dir + "/ko-no-such-dir/p.pf"}
                                    << "folder does not exist";
}

void tst_CtlCommands::badInputChangesNothing()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    CtlRig rig(k560Gun);
    // Files of the wrong kind, in the rig's own folder.
    QFile garbage(rig.dir.filePath("garbage"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x01\x02 not an ini file at all\n");
    garbage.close();
    QSettings(rig.dir.filePath("a.mc"), QSettings::IniFormat).setValue("config/total", 0);
    for (QString &a : args) {
        if (a == QLatin1String("@garbage"))
            a = garbage.fileName();
        if (a == QLatin1String("@macro"))
            a = rig.dir.filePath("a.mc");
    }
    const auto before = rig.files();
    const CtlOutput out = rig.run(args);
    QCOMPARE(out.exitCode, int(Ctl::Usage));
    QVERIFY2(out.err.contains(message), qPrintable(out.err));
    QVERIFY(out.err.startsWith(QLatin1String("kestrel-orbit-ctl: ")));
    QCOMPARE(out.out, QString());
    QCOMPARE(rig.files(), before);
    QCOMPARE(rig.mouse->reportCount(), 0);
}

void tst_CtlCommands::withoutAMouseNothingChanges_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("dpi") << QStringList{"dpi", "set", "400"};
    QTest::newRow("rate") << QStringList{"rate", "set", "500"};
    QTest::newRow("light") << QStringList{"light", "set", "--speed", "1"};
    QTest::newRow("button") << QStringList{"button", "3", "key:F5"};
    QTest::newRow("current stage") << QStringList{"dpi", "current", "2"};
    QTest::newRow("reset the profile in use") << QStringList{"profile", "reset", "1"};
}

void tst_CtlCommands::withoutAMouseNothingChanges()
{
    QFETCH(QStringList, args);
    CtlRig rig(k560Gun);
    rig.mouse->unplug();
    const auto before = rig.files();
    const CtlOutput out = rig.run(args);
    QCOMPARE(out.exitCode, int(Ctl::NoMouse));
    QVERIFY2(out.err.contains(QLatin1String("No mouse")), qPrintable(out.err));
    QCOMPARE(rig.files(), before);
}

// The mouse stops answering: exit status 3; the profile holds the value, as the window's does.
void tst_CtlCommands::aRefusedCommandIsReported()
{
    CtlRig rig(k553);
    rig.connect();
    rig.mouse->failFromReport(1);
    const CtlOutput out = rig.run({"rate", "set", "500"});
    QCOMPARE(out.exitCode, int(Ctl::MouseRefused));
    QVERIFY2(out.err.contains(QLatin1String("did not accept 1 command")), qPrintable(out.err));
    QCOMPARE(rig.stored("setting/p1.bin", "mouse/reportRate").toString(), QStringLiteral("2"));
}

// Switching profiles stores the choice and sends every page of the new profile, in the window's
// order; a profile file from elsewhere comes in whole and joins the profile list.
void tst_CtlCommands::profileUseSendsEveryPage()
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

    QCOMPARE(rig.stored("setting/apConfig.bin", "mouse/profileNo").toString(), QStringLiteral("1"));
    QStringList codes;
    for (const QString &r : reports(rig.mouse->trace())) {
        if (r.startsWith(QLatin1String("-> feature")))
            codes << r.section(' ', 3, 3);
    }
    // Key matrix, report rate, DPI, effect, colours twice (553), no gun functions.
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
    QCOMPARE(rig.stored("setting/p2.bin", "mouse/scrollRate").toString(), QStringLiteral("1000"));
    QCOMPARE(rig.stored("setting/p2.bin", "mouse/lightValue").toStringList(), (QStringList{"1", "3", "2"}));

    rig.fresh();
    QCOMPARE(rig.run({"profile", "list"}).out, QStringLiteral("1  Standard\n2  profile_0  (in use)\n"));
    // The profile already in use: nothing to do.
    rig.mouse->clearTrace();
    const CtlOutput again = rig.run({"profile", "use", "2"});
    QCOMPARE(again.exitCode, int(Ctl::Ok));
    QCOMPARE(rig.mouse->reportCount(), 0);
}

static QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Import, export and reset copy whole files, as the window's dialogs do; a reset of the profile in
// use is sent at once.
void tst_CtlCommands::filesComeAndGoWhole()
{
    CtlRig rig(k553);
    const QString mc = rig.dir.filePath("Reload.mc");
    {
        QSettings m(mc, QSettings::IniFormat);
        m.setValue("config/total", 2);
        m.setValue("config/repeat", 3);
        m.setValue("macro/0", "1,R");
        m.setValue("macro/1", "2,R");
    }
    CtlOutput out = rig.run({"macro", "import", mc});
    QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
    QCOMPARE(contents(rig.file("macro/Reload.bin")), contents(mc));
    QCOMPARE(rig.run({"macro", "list"}).out, QStringLiteral("Reload\n"));
    QCOMPARE(rig.run({"macro", "show", "Reload"}).out, QStringLiteral("repeat 3\npress R\nrelease R\n"));
    QCOMPARE(rig.run({"macro", "import", mc, "Second"}).exitCode, int(Ctl::Ok));
    QCOMPARE(rig.stored("setting/name.bin", "macro/macroName").toStringList(), (QStringList{"Reload", "Second"}));
    QCOMPARE(rig.run({"macro", "import", mc}).exitCode, int(Ctl::Usage)); // never replaces one
    const QString back = rig.dir.filePath("back.mc");
    QCOMPARE(rig.run({"macro", "export", "Second", back}).exitCode, int(Ctl::Ok));
    QCOMPARE(contents(back), contents(mc));

    rig.store("setting/p1.bin", "mouse/reportRate", 1);
    const QString pf = rig.dir.filePath("p1.pf");
    QCOMPARE(rig.run({"profile", "export", "1", pf}).exitCode, int(Ctl::Ok));
    QCOMPARE(contents(pf), contents(rig.file("setting/p1.bin")));
    QCOMPARE(rig.mouse->reportCount(), 0);
    QCOMPARE(rig.run({"profile", "reset", "3"}).exitCode, int(Ctl::Ok));
    QCOMPARE(contents(rig.file("setting/p3.bin")), contents(rig.file("setting/pD.bin")));
    QCOMPARE(rig.mouse->reportCount(), 0);
    // The profile in use: replaced, then every page loads, stores and sends it.
    out = rig.run({"profile", "reset", "1"});
    QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
    QCOMPARE(rig.stored("setting/p1.bin", "mouse/reportRate").toString(), QStringLiteral("3"));
    QCOMPARE(int(rig.mouse->memory().reportRate), 1);
}

void tst_CtlCommands::statusAndDevices()
{
    CtlRig rig(k560Gun);
    CtlOutput out = rig.run({"status", "--json"});
    QCOMPARE(out.exitCode, int(Ctl::Ok));
    const QJsonObject status = QJsonDocument::fromJson(out.out.toUtf8()).object();
    QCOMPARE(status.value("mouse").toObject().value("family").toString(), QStringLiteral("560"));
    QCOMPARE(status.value("mouse").toObject().value("model").toString(), QStringLiteral("KESTREL ORBIT MOUSE K7"));
    QCOMPARE(status.value("dpi").toObject().value("current").toInt(), 2);
    QCOMPARE(status.value("dpi").toObject().value("active").toInt(), 4);
    QCOMPARE(status.value("reportRate").toInt(), 1000);
    QCOMPARE(status.value("light").toObject().value("effect").toString(), QStringLiteral("static"));
    QCOMPARE(status.value("profile").toObject().value("name").toString(), QStringLiteral("Standard"));

    rig.fresh();
    out = rig.run({"status"});
    QVERIFY(out.out.startsWith(QLatin1String("model: KESTREL ORBIT MOUSE K7 (family 560, gun functions, colour lighting)\n"
                                             "mouse: connected, 04d9:a1ee, report length 32\n")));
    QVERIFY(out.out.contains(QLatin1String("dpi stages: 400 800 1600 3200\n")));
    QVERIFY(out.out.contains(QLatin1String("report rate: 1000 Hz\n")));

    rig.fresh();
    out = rig.run({"devices"});
    QCOMPARE(out.exitCode, int(Ctl::Ok));
    QVERIFY2(out.out.contains(QRegularExpression("^1  mouse  04d9:a1ee  usable", QRegularExpression::MultilineOption)),
             qPrintable(out.out));
    QVERIFY(out.out.startsWith(QLatin1String("0  keyboard  04d9:8008  not attached")));

    // A mouse the user may not open: the reason, and status 2.
    rig.mouse->setOpenDenied(true);
    rig.fresh();
    out = rig.run({"devices", "--json"});
    QCOMPARE(out.exitCode, int(Ctl::NoMouse));
    const QJsonObject row = QJsonDocument::fromJson(out.out.toUtf8()).array().at(1).toObject();
    QCOMPARE(row.value("state").toString(), QStringLiteral("permission denied"));
    QVERIFY(row.value("reason").toString().contains(QLatin1String("udev rule")));
    rig.fresh();
    out = rig.run({"status"});
    QCOMPARE(out.exitCode, int(Ctl::NoMouse));
    QVERIFY2(out.out.contains(QLatin1String("\nmouse: not connected (No mouse: permission denied")), qPrintable(out.out));
}

// Rules are kept in the configuration and shown by list and status; the mouse is never asked.
void tst_CtlCommands::applicationRules()
{
    CtlRig rig(k560Gun);
    const QList<std::tuple<QStringList, int, QString>> steps{
        {{"rule", "add", "3", "class:steam_app_570"}, Ctl::Ok, "rule 1 added: profile 3 for class:steam_app_570\n"},
        {{"rule", "add", "2", "title:Doom Eternal"}, Ctl::Ok, "rule 2 added"},
        {{"rule", "add", "2", "title:Doom Eternal"}, Ctl::Usage, "already has the rule"},
        {{"rule", "on"}, Ctl::Ok, "application rules on, desktop profile 1\n"},
        {{"rule", "remove", "1"}, Ctl::Ok, "rule 1 removed\n"},
        {{"rule", "remove", "2"}, Ctl::Usage, "there is no rule 2 (rules are 1 to 1)"},
        {{"rule", "list"}, Ctl::Ok, ""},
        {{"rule", "off"}, Ctl::Ok, "application rules off\n"},
    };
    for (const auto &[args, exitCode, message] : steps) {
        rig.fresh();
        const CtlOutput out = rig.run(args);
        QVERIFY2(out.err.contains(message), qPrintable(out.err));
        QCOMPARE(out.exitCode, exitCode);
        if (args.at(1) == QLatin1String("list"))
            QCOMPARE(out.out, QStringLiteral("application rules: on, 1 rule(s), desktop profile 1 "
                                             "(they apply while the program runs)\n1  profile 2  title:Doom Eternal\n"));
    }
    QCOMPARE(rig.mouse->reportCount(), 0);
    rig.fresh();
    QVERIFY(rig.run({"status"}).out.endsWith(QLatin1String("application rules: off, 1 rule(s)\n")));
    QCOMPARE(rig.stored("setting/apConfig.bin", "appRules/rule1").toString(), QStringLiteral("title:Doom Eternal"));
}

// The executable's side: options, help, file names relative to the working folder, and the demo's
// virtual mouse with its memory written out.
void tst_CtlCommands::theToolItself()
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

    CtlOutput out = runTool({}, env);
    QCOMPARE(out.exitCode, int(Ctl::Usage));
    QVERIFY(out.err.contains(QLatin1String("no command given")));
    out = runTool({"--help"}, env);
    QCOMPARE(out.exitCode, int(Ctl::Ok));
    QVERIFY(out.out.startsWith(QLatin1String("Usage: kestrel-orbit-ctl")));
    out = runTool({"dpi", "--help"}, env);
    QVERIFY(out.out.startsWith(QLatin1String("Usage: kestrel-orbit-ctl dpi")));
    out = runTool({"help", "button"}, env);
    QVERIFY(out.out.contains(QLatin1String("combo:KEY+KEY")));
    out = runTool({"--version"}, env);
    QVERIFY(out.out.startsWith(QLatin1String("kestrel-orbit-ctl ")));
    out = runTool({"--memory-file", "m.json", "status"}, env);
    QCOMPARE(out.exitCode, int(Ctl::Usage));
    QVERIFY(out.err.contains(QLatin1String("go with --virtual")));
    out = runTool({"--bogus", "status"}, env);
    QCOMPARE(out.exitCode, int(Ctl::Usage));
    QCOMPARE(localRuns, 0);

    // The demo's model file decides the mouse; its memory is written where asked.
    const QString memory = root.filePath("memory.json");
    out = runTool({"--virtual", "rate", "set", "250", "--memory-file", memory}, env);
    QVERIFY2(out.exitCode == Ctl::Ok, qPrintable(out.err));
    QFile dump(memory);
    QVERIFY(dump.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(dump.readAll()).object().value("reportRate").toInt(), 4);
    QCOMPARE(QSettings(root.filePath("modules/setting/p1.bin"), QSettings::IniFormat).value("mouse/reportRate").toString(),
             QStringLiteral("1"));
    // A file name is taken from the working folder.
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

QTEST_MAIN(tst_CtlCommands)
#include "tst_ctl_commands.moc"
