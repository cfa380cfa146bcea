#include "MacroStore.h"
#include "ProfileStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

namespace {

const QStringList ThreeEvents{"1,A", "0,50", "2,A"};

// Profile p's button k runs the macro in slot k; the factory profile has a left click there.
QByteArray profileWith(const QMap<int, QString> &macroButtons)
{
    QByteArray text = "[mouseKeyMatrix]\n";
    for (auto it = macroButtons.cbegin(); it != macroButtons.cend(); ++it)
        text += QByteArray::number(it.key()) + "=4, 0, " + QByteArray::number(it.key()) + ", 0\n";
    text += "\n[mouseMacroKey]\n";
    for (auto it = macroButtons.cbegin(); it != macroButtons.cend(); ++it)
        text += QByteArray::number(it.key()) + "=" + it.value().toUtf8() + "\n";
    return text;
}

} // namespace

class tst_MacroStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void createdMacroLoadsAsRepeatOne();
    void eventsRoundTripWithTheirComma();
    void fewerEventsLeaveNoStaleOnes();
    void missingMacro();
    void damagedMacroFile_data();
    void damagedMacroFile();
    void namesThatAreNotFileNames_data();
    void namesThatAreNotFileNames();
    void renameUpdatesUiProfilesOnly();
    void renameOntoExistingMacro();
    void deleteResetsOnlyButtonsRunningTheMacro();
    void exportAndImport();
    void importNeverOverwrites_data();
    void importNeverOverwrites();
};

void tst_MacroStore::createdMacroLoadsAsRepeatOne()
{
    ModulesTree tree;
    MacroStore store(tree.modules);
    QVERIFY(store.createMacroIni(QStringLiteral("Macro_0"), 0));
    QCOMPARE(store.loadMacroIni(QStringLiteral("Macro_0")), QStringList{"1"});
    const QByteArray file = readFile(tree.path("macro/Macro_0.bin"));
    for (const char *line : {"index=0\n", "total=0\n", "repeat=1\n", "did=-1\n"})
        QVERIFY2(file.contains(line), line);
}

void tst_MacroStore::eventsRoundTripWithTheirComma()
{
    ModulesTree tree;
    MacroStore store(tree.modules);
    store.createMacroIni(QStringLiteral("Macro_1"), 0);
    QVERIFY(store.saveMacroIni(QStringLiteral("Macro_1"), ThreeEvents, 3));
    QCOMPARE(store.loadMacroIni(QStringLiteral("Macro_1")), ThreeEvents + QStringList{"3"});
    QVERIFY(readFile(tree.path("macro/Macro_1.bin")).contains("0=\"1,A\"\n"));
}

void tst_MacroStore::fewerEventsLeaveNoStaleOnes()
{
    ModulesTree tree;
    MacroStore store(tree.modules);
    store.createMacroIni(QStringLiteral("m"), 0);
    store.saveMacroIni(QStringLiteral("m"), ThreeEvents, 1);
    QVERIFY(store.saveMacroIni(QStringLiteral("m"), {"3,L-Click"}, 2));
    QCOMPARE(store.loadMacroIni(QStringLiteral("m")), QStringList({"3,L-Click", "2"}));
    QVERIFY(!readFile(tree.path("macro/m.bin")).contains("2=\"2,A\""));
}

void tst_MacroStore::missingMacro()
{
    ModulesTree tree;
    MacroStore store(tree.modules);
    QVERIFY(!store.saveMacroIni(QStringLiteral("never"), ThreeEvents, 1));
    QVERIFY(!QFile::exists(tree.path("macro/never.bin")));
    QVERIFY(store.loadMacroIni(QStringLiteral("never")).isEmpty());
    QVERIFY(!store.deleteMacroIni(QStringLiteral("never")));
    ProfileStore profiles(tree.modules);
    QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("never"), QStringLiteral("x"), profiles));
}

void tst_MacroStore::damagedMacroFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("loaded");
    QTest::newRow("absurd total") << QByteArray("[config]\ntotal=2147483647\nrepeat=2\n") << QStringList{"2"};
    QTest::newRow("negative total") << QByteArray("[config]\ntotal=-5\nrepeat=2\n") << QStringList{"2"};
    QTest::newRow("events missing")
        << QByteArray("[config]\ntotal=2\n\n[macro]\n1=\"2,B\"\n") << QStringList{"0", "2,B", "0"};
    QTest::newRow("not INI") << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << QStringList{"0"};
}

void tst_MacroStore::damagedMacroFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, loaded);
    ModulesTree tree;
    QVERIFY(writeFile(tree.path("macro/bad.bin"), file));
    QCOMPARE(MacroStore(tree.modules).loadMacroIni(QStringLiteral("bad")), loaded);
    QCOMPARE(readFile(tree.path("macro/bad.bin")), file);
}

void tst_MacroStore::namesThatAreNotFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent") << "../x";
    QTest::newRow("into the settings") << "../setting/p1";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("dot") << ".";
    QTest::newRow("empty") << "";
    QTest::newRow("absolute") << "/tmp/ko-macro";
    QTest::newRow("control character") << "a\x01";
}

// Every operation refuses the name and no file anywhere changes.
void tst_MacroStore::namesThatAreNotFileNames()
{
    QFETCH(QString, name);
    ModulesTree tree;
    // Things a bad name could reach: a file beside modules/, a profile, a macro.
    QVERIFY(writeFile(tree.root.filePath(QStringLiteral("modules/x.bin")), "[config]\ntotal=0\n"));
    QVERIFY(writeFile(tree.profile(0), profileWith({{2, name}})));
    QVERIFY(writeFile(tree.path("macro/good.bin"), "[config]\ntotal=0\nrepeat=1\n"));
    ScriptedChooser chooser;
    chooser.answer = tree.root.filePath(QStringLiteral("chosen.mc"));
    QVERIFY(writeFile(chooser.answer, "[config]\ntotal=0\nrepeat=4\n"));
    const auto before = tree.snapshot();
    {
        MacroStore store(tree.modules);
        ProfileStore profiles(tree.modules);
        QVERIFY(!store.createMacroIni(name, 0));
        QVERIFY(!store.saveMacroIni(name, ThreeEvents, 1));
        QVERIFY(store.loadMacroIni(name).isEmpty());
        QVERIFY(!store.deleteMacroIni(name));
        QVERIFY(!store.loadMacroFile(name, chooser));
        store.saveMacroFile(name, chooser);
        QVERIFY(chooser.calls.isEmpty());
        QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("good"), name, profiles));
        QVERIFY(!store.modifyMacroNameUpdateProfile(name, QStringLiteral("good2"), profiles));
        store.deleteMacroUpdateProfile(name, profiles);
    }
    QCOMPARE(tree.snapshot(), before);
}

void tst_MacroStore::renameUpdatesUiProfilesOnly()
{
    ModulesTree tree;
    for (int p : {0, 4, 7})
        QVERIFY(writeFile(tree.profile(p), profileWith({{2, "old"}, {3, "keep"}})));
    MacroStore store(tree.modules);
    store.createMacroIni(QStringLiteral("old"), 0);
    ProfileStore profiles(tree.modules);
    QVERIFY(store.modifyMacroNameUpdateProfile(QStringLiteral("old"), QStringLiteral("new"), profiles));
    QVERIFY(!QFile::exists(tree.path("macro/old.bin")));
    QVERIFY(QFile::exists(tree.path("macro/new.bin")));
    const QString slot2 = QStringLiteral("mouseMacroKey/2");
    const QString slot3 = QStringLiteral("mouseMacroKey/3");
    for (int p : {0, 4, 7}) {
        profiles.setCurrentProfile(p);
        QCOMPARE(profiles.getData(slot2, false).toString(), p == 7 ? QStringLiteral("old") : QStringLiteral("new"));
        QCOMPARE(profiles.getData(slot3, false).toString(), QStringLiteral("keep"));
    }
}

void tst_MacroStore::renameOntoExistingMacro()
{
    ModulesTree tree;
    QVERIFY(writeFile(tree.profile(0), profileWith({{2, "old"}})));
    MacroStore store(tree.modules);
    store.createMacroIni(QStringLiteral("old"), 0);
    store.createMacroIni(QStringLiteral("taken"), 0);
    store.saveMacroIni(QStringLiteral("taken"), ThreeEvents, 1);
    ProfileStore profiles(tree.modules);
    QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("old"), QStringLiteral("taken"), profiles));
    QCOMPARE(store.loadMacroIni(QStringLiteral("taken")), ThreeEvents + QStringList{"1"});
    QVERIFY(QFile::exists(tree.path("macro/old.bin")));
    QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/2"), false).toString(), QStringLiteral("taken"));
}

void tst_MacroStore::deleteResetsOnlyButtonsRunningTheMacro()
{
    ModulesTree tree;
    QByteArray factory = "[mouseKeyMatrix]\n";
    for (int k = 0; k < 16; ++k)
        factory += QByteArray::number(k) + "=0, 0, 240, 0\n";
    QVERIFY(writeFile(tree.path("setting/pD.bin"), factory));
    const QByteArray profile = profileWith({{1, "M"}, {2, "Other"}, {7, "M"}})
        + "[mouseKeyMatrix]\n"      // overrides below: not macro assignments
          "3=0, 0, 3, 0\n"          // mouse class, slot 3 holds "M"
          "4=4, 0\n"                // too short to name a slot
          "5=4, 0, x, 0\n"          // slot is not a number
          "[mouseMacroKey]\n3=M\n";
    for (int p : {0, 7})
        QVERIFY(writeFile(tree.profile(p), profile));
    ProfileStore profiles(tree.modules);
    MacroStore(tree.modules).deleteMacroUpdateProfile(QStringLiteral("M"), profiles);

    const QVariantList factoryEntry{"0", "0", "240", "0"};
    for (int p : {0, 7}) {
        profiles.setCurrentProfile(p);
        auto entry = [&](int k) { return profiles.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), false); };
        if (p == 0) {
            QCOMPARE(entry(1), factoryEntry);
            QCOMPARE(entry(7), factoryEntry);
        } else {
            QCOMPARE(entry(1), QVariantList({"4", "0", "1", "0"}));
        }
        QCOMPARE(entry(2), QVariantList({"4", "0", "2", "0"}));
        QCOMPARE(entry(3), QVariantList({"0", "0", "3", "0"}));
        QCOMPARE(entry(4), QVariantList({"4", "0"}));
        QCOMPARE(entry(5), QVariantList({"4", "0", "x", "0"}));
        // The name stays in its slot.
        QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/1"), false).toString(), QStringLiteral("M"));
    }
}

void tst_MacroStore::exportAndImport()
{
    ModulesTree tree;
    MacroStore store(tree.modules);
    store.createMacroIni(QStringLiteral("Macro_0"), 0);
    store.saveMacroIni(QStringLiteral("Macro_0"), ThreeEvents, 3);
    ScriptedChooser chooser;
    chooser.answer = tree.root.filePath(QStringLiteral("out.mc"));
    QVERIFY(writeFile(chooser.answer, "an older export, longer than the macro file itself ................"));
    store.saveMacroFile(QStringLiteral("Macro_0"), chooser);
    QCOMPARE(readFile(chooser.answer), readFile(tree.path("macro/Macro_0.bin")));

    QVERIFY(store.loadMacroFile(QStringLiteral("Macro_1"), chooser));
    QCOMPARE(store.loadMacroIni(QStringLiteral("Macro_1")), ThreeEvents + QStringList{"3"});

    QCOMPARE(chooser.calls.size(), 2);
    QCOMPARE(chooser.calls[0].kind, QStringLiteral("save"));
    QCOMPARE(chooser.calls[0].caption, QStringLiteral("Save File"));
    QCOMPARE(chooser.calls[1].kind, QStringLiteral("open"));
    QCOMPARE(chooser.calls[1].caption, QStringLiteral("Open File"));
    for (const auto &call : chooser.calls) {
        QCOMPARE(call.filter, QStringLiteral("Macro(*.mc)"));
        QCOMPARE(call.dir, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    }
}

void tst_MacroStore::importNeverOverwrites_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("result");
    QTest::newRow("cancelled") << "" << false << false;
    QTest::newRow("name already taken") << "in.mc" << true << false;
    QTest::newRow("chosen file vanished") << "gone.mc" << false << false;
}

void tst_MacroStore::importNeverOverwrites()
{
    QFETCH(QString, chosen);
    QFETCH(bool, existing);
    QFETCH(bool, result);
    ModulesTree tree;
    QVERIFY(writeFile(tree.root.filePath(QStringLiteral("in.mc")), "[config]\ntotal=0\nrepeat=9\n"));
    if (existing)
        QVERIFY(writeFile(tree.path("macro/Macro_2.bin"), "[config]\ntotal=0\nrepeat=2\n"));
    const auto before = tree.snapshot();
    ScriptedChooser chooser;
    if (!chosen.isEmpty())
        chooser.answer = tree.root.filePath(chosen);
    QCOMPARE(MacroStore(tree.modules).loadMacroFile(QStringLiteral("Macro_2"), chooser), result);
    QCOMPARE(tree.snapshot(), before);
}

QTEST_GUILESS_MAIN(tst_MacroStore)
#include "tst_macrostore.moc"
