#include "GunDataStore.h"
#include "LanguageStore.h"
#include "MacroStore.h"
#include "NameListStore.h"
#include "ProfileStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace StoreTest;

namespace {

const QStringList Events{"1,A", "0,50", "2,A"};
const QByteArray Guns = "[gunData]\n0=M416, L-Click, 9, 0, 5, 0\n1=AKM, L-Click, 9, 0, 7, 0\n";

// Button k runs the macro in slot k, which holds the given name.
QByteArray macroButtons(const QMap<int, QByteArray> &buttons)
{
    QByteArray matrix = "[mouseKeyMatrix]\n", names = "[mouseMacroKey]\n";
    for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
        matrix += QByteArray::number(it.key()) + "=4, 0, " + QByteArray::number(it.key()) + ", 0\n";
        names += QByteArray::number(it.key()) + "=" + it.value() + "\n";
    }
    return matrix + names;
}

QStringList notices()
{
    QStringList texts;
    for (int stage = 1; stage <= 8; ++stage)
        texts.append(dpiNoticeText(stage));
    return texts;
}

} // namespace

// The stores that open their file for each call: name lists, macros, gun data, language texts.
class tst_FileStores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void nameLists_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QVariantList>("read");
        QTest::addColumn<QByteArray>("line"); // as it stands in the file
        QTest::newRow("one name gets the sentinel") << 0u << QStringList{"Macro_0"}
            << QVariantList{"Macro_0", "loaderbeacon"} << QByteArray("macroName=Macro_0, loaderbeacon\n");
        QTest::newRow("two names unchanged") << 2u << QStringList{"Standard0", "profile_11"}
            << QVariantList{"Standard0", "profile_11"} << QByteArray("profileName=Standard0, profile_11\n");
        QTest::newRow("comma inside a name") << 3u << QStringList{"a,b", "c"} << QVariantList{"a,b", "c"}
            << QByteArray("selectGun=\"a,b\", c\n");
        QTest::newRow("empty list removes the key") << 2u << QStringList{} << QVariantList{} << QByteArray("gunName=keep, me\n");
        QTest::newRow("type above 3 stores nothing") << 7u << QStringList{"x", "y"} << QVariantList{}
            << QByteArray("[gun]\ngunName=keep, me\n");
    }
    void nameLists()
    {
        QFETCH(uint, type);
        QFETCH(QStringList, names);
        QFETCH(QVariantList, read);
        QFETCH(QByteArray, line);
        ModulesTree tree;
        NameListStore store(tree.modules);
        store.updataNameList(1, {"keep", "me"});
        store.updataNameList(2, {"Standard0", "old"});
        QVERIFY(store.updataNameList(type, names));
        QVERIFY(readFile(store.filePath()).contains(line)); // written when the call returns
        QCOMPARE(store.getNameList(type), read);
        QCOMPARE(store.getNameList(1), QVariantList({"keep", "me"}));
    }

    void macroRoundTrip()
    {
        ModulesTree tree;
        MacroStore store(tree.modules);
        const QString name = QStringLiteral("Macro_0");
        QVERIFY(store.createMacroIni(name, 0));
        QCOMPARE(store.loadMacroIni(name), QStringList{"1"});
        QVERIFY(store.saveMacroIni(name, Events, 3));
        QCOMPARE(store.loadMacroIni(name), Events + QStringList{"3"});
        QVERIFY(readFile(tree.path("macro/Macro_0.bin")).contains("0=\"1,A\"\n"));
        QVERIFY(store.saveMacroIni(name, {"3,L-Click"}, 2)); // fewer events leave no stale ones
        QCOMPARE(store.loadMacroIni(name), QStringList({"3,L-Click", "2"}));
        QVERIFY(!readFile(tree.path("macro/Macro_0.bin")).contains("2,A"));
        QVERIFY(store.deleteMacroIni(name));
        QVERIFY(!store.deleteMacroIni(name));
        QVERIFY(!store.saveMacroIni(name, Events, 1));
        QVERIFY(!QFile::exists(tree.path("macro/Macro_0.bin")));
        QVERIFY(store.loadMacroIni(name).isEmpty());
    }

    void damagedMacro_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("absurd total") << QByteArray("[config]\ntotal=2147483647\nrepeat=2\n") << QStringList{"2"};
        QTest::newRow("events missing") << QByteArray("[config]\ntotal=2\n[macro]\n1=\"2,B\"\n") << QStringList{"0", "2,B", "0"};
        QTest::newRow("not INI") << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << QStringList{"0"};
    }
    void damagedMacro()
    {
        QFETCH(QByteArray, file);
        ModulesTree tree;
        writeFile(tree.path("macro/bad.bin"), file);
        QTEST(MacroStore(tree.modules).loadMacroIni(QStringLiteral("bad")), "loaded");
        QCOMPARE(readFile(tree.path("macro/bad.bin")), file);
    }

    void macroNamesThatAreNotFileNames_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"../x", "../setting/p1", "..", ".", "", "/tmp/ko-macro", "a\\b", "a\x01"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    // Every operation refuses the name and no file anywhere changes.
    void macroNamesThatAreNotFileNames()
    {
        QFETCH(QString, name);
        ModulesTree tree;
        writeFile(tree.path("x.bin"), "[config]\ntotal=0\n");
        writeFile(tree.profile(0), macroButtons({{2, name.toUtf8()}}));
        writeFile(tree.path("macro/good.bin"), "[config]\ntotal=0\n");
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("chosen.mc"));
        writeFile(chooser.answer, "[config]\ntotal=0\n");
        const auto before = tree.snapshot();
        {
            MacroStore store(tree.modules);
            ProfileStore profiles(tree.modules);
            QVERIFY(!store.createMacroIni(name, 0));
            QVERIFY(!store.saveMacroIni(name, Events, 1));
            QVERIFY(store.loadMacroIni(name).isEmpty());
            QVERIFY(!store.deleteMacroIni(name));
            QVERIFY(!store.loadMacroFile(name, chooser));
            store.saveMacroFile(name, chooser);
            QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("good"), name, profiles));
            QVERIFY(!store.modifyMacroNameUpdateProfile(name, QStringLiteral("good2"), profiles));
            store.deleteMacroUpdateProfile(name, profiles);
            QVERIFY(chooser.calls.isEmpty());
        }
        QCOMPARE(tree.snapshot(), before);
    }

    void renameUpdatesProfilesZeroToFive()
    {
        ModulesTree tree;
        for (int p : {0, 4, 7})
            writeFile(tree.profile(p), macroButtons({{2, "old"}, {3, "keep"}}));
        MacroStore store(tree.modules);
        store.createMacroIni(QStringLiteral("old"), 0);
        store.createMacroIni(QStringLiteral("taken"), 0);
        ProfileStore profiles(tree.modules);
        QVERIFY(store.modifyMacroNameUpdateProfile(QStringLiteral("old"), QStringLiteral("new"), profiles));
        QVERIFY(!QFile::exists(tree.path("macro/old.bin")) && QFile::exists(tree.path("macro/new.bin")));
        for (int p : {0, 4, 7}) {
            profiles.setCurrentProfile(p);
            QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/2"), false), QVariant(p == 7 ? "old" : "new"));
            QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/3"), false), QVariant("keep"));
        }
        // Onto an existing macro: the profiles follow, the file rename fails.
        QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("new"), QStringLiteral("taken"), profiles));
        QVERIFY(QFile::exists(tree.path("macro/new.bin")));
        profiles.setCurrentProfile(0);
        QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/2"), false), QVariant("taken"));
    }

    void deleteResetsOnlyButtonsRunningTheMacro()
    {
        ModulesTree tree;
        QByteArray factory = "[mouseKeyMatrix]\n";
        for (int k = 0; k < 16; ++k)
            factory += QByteArray::number(k) + "=0, 0, 240, 0\n";
        writeFile(tree.path("setting/pD.bin"), factory);
        const QByteArray profile = macroButtons({{1, "M"}, {2, "Other"}, {7, "M"}})
            + "[mouseKeyMatrix]\n3=0, 0, 3, 0\n4=4, 0\n5=4, 0, x, 0\n" // not macro assignments
              "[mouseMacroKey]\n3=M\n4=M\n5=M\n";
        for (int p : {0, 7})
            writeFile(tree.profile(p), profile);
        ProfileStore profiles(tree.modules);
        MacroStore(tree.modules).deleteMacroUpdateProfile(QStringLiteral("M"), profiles);
        const QMap<int, QVariantList> kept{{2, {"4", "0", "2", "0"}}, {3, {"0", "0", "3", "0"}},
                                           {4, {"4", "0"}}, {5, {"4", "0", "x", "0"}}};
        for (int p : {0, 7}) {
            profiles.setCurrentProfile(p);
            auto entry = [&](int k) { return profiles.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), false); };
            for (int k : {1, 7})
                QCOMPARE(entry(k), p == 0 ? QVariantList({"0", "0", "240", "0"}) : QVariantList({"4", "0", QString::number(k), "0"}));
            for (auto it = kept.cbegin(); it != kept.cend(); ++it)
                QCOMPARE(entry(it.key()), it.value());
            QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/1"), false), QVariant("M"));
        }
    }

    void macroExportAndImport()
    {
        ModulesTree tree;
        MacroStore store(tree.modules);
        store.createMacroIni(QStringLiteral("Macro_0"), 0);
        store.saveMacroIni(QStringLiteral("Macro_0"), Events, 3);
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("out.mc"));
        writeFile(chooser.answer, "an older export, longer than the macro file itself .......................");
        store.saveMacroFile(QStringLiteral("Macro_0"), chooser);
        QCOMPARE(readFile(chooser.answer), readFile(tree.path("macro/Macro_0.bin")));
        QVERIFY(store.loadMacroFile(QStringLiteral("Macro_1"), chooser));
        QCOMPARE(store.loadMacroIni(QStringLiteral("Macro_1")), Events + QStringList{"3"});
        // An import never overwrites; a failed or cancelled one is false.
        QVERIFY(!store.loadMacroFile(QStringLiteral("Macro_0"), chooser));
        QCOMPARE(store.loadMacroIni(QStringLiteral("Macro_0")), Events + QStringList{"3"});
        chooser.answer = tree.root.filePath(QStringLiteral("gone.mc"));
        QVERIFY(!store.loadMacroFile(QStringLiteral("Macro_2"), chooser));
        chooser.answer.clear();
        QVERIFY(!store.loadMacroFile(QStringLiteral("Macro_3"), chooser));
        QVERIFY(!QFile::exists(tree.path("macro/Macro_2.bin")) && !QFile::exists(tree.path("macro/Macro_3.bin")));
        QCOMPARE(chooser.calls, QStringList({dialogCall("save", "Save File", "Macro(*.mc)")})
                                    + QStringList(4, dialogCall("open", "Open File", "Macro(*.mc)")));
    }

    void gunRecords()
    {
        ModulesTree tree;
        GunDataStore store(tree.modules);
        writeFile(store.filePath(), Guns);
        store.mouseSaveGundata(QStringLiteral("2"), {"SCAR-L", "L-Click", 10, 0, 6, 3, "ignored"});
        QCOMPARE(store.getGunData(QStringLiteral("2")), QVariantList({"SCAR-L", "L-Click", "10", "0", "6", "3"}));
        QCOMPARE(diskValue(store.filePath(), QStringLiteral("gunData/2")).toStringList().size(), 6);
        store.mouseSaveGundata(QStringLiteral("0"), {"short", "record"});
        QCOMPARE(store.getGunData(QStringLiteral("0")).value(0), QVariant("M416"));
        QCOMPARE(store.getGunDataKey(), QStringList({"0", "1", "2"}));
    }

    void modifyGunData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantList>("src");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("remove") << 0 << QVariantList{"1"} << QStringList{"0"};
        QTest::newRow("rename") << 1 << QVariantList{"Vector", "L-Click", 8, 0, 4, 0, "1"} << QStringList{"0", "Vector"};
        QTest::newRow("other type") << 5 << QVariantList{"1", "a", "b", "c", "d", "e", "0"} << QStringList{"0", "1"};
        QTest::newRow("empty name keeps the group") << 0 << QVariantList{""} << QStringList{"0", "1"};
        QTest::newRow("rename too short") << 1 << QVariantList{"Vector", "L-Click"} << QStringList{"0", "1"};
    }
    void modifyGunData()
    {
        QFETCH(int, type);
        QFETCH(QVariantList, src);
        ModulesTree tree;
        GunDataStore store(tree.modules);
        writeFile(store.filePath(), Guns);
        store.modifyGundata(type, src);
        QTEST(store.getGunDataKey(), "keys");
        if (type == 1 && src.size() == 7)
            QCOMPARE(store.getGunData(QStringLiteral("Vector")), QVariantList({"L-Click", "8", "0", "4", "0"}));
    }

    void gunFileIsNeverCreated()
    {
        ModulesTree tree;
        GunDataStore store(tree.modules);
        store.mouseSaveGundata(QStringLiteral("2"), {"a", "b", 1, 2, 3, 4});
        store.modifyGundata(1, {"a", "b", 1, 2, 3, 4, "0"});
        QVERIFY(store.getGunData(QStringLiteral("2")).isEmpty() && store.getGunDataKey().isEmpty());
        QVERIFY(!QFile::exists(store.filePath()));
    }

    void languageSections_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("gap reads empty") << QByteArray("[main]\ntotal=3\n0=Editor\n2=Gun\n") << "English"
                                         << QStringList{"Editor", "", "Gun"};
        QTest::newRow("no total") << QByteArray("[main]\n0=Editor\n") << "English" << QStringList{};
        QTest::newRow("UTF-8 with comma") << QStringLiteral("[main]\ntotal=2\n0=\"配置, 文件\"\n1=Größe\n").toUtf8()
                                          << "English" << QStringList{QStringLiteral("配置, 文件"), QStringLiteral("Größe")};
        QTest::newRow("missing file") << QByteArray() << "Klingon" << QStringList{};
        QTest::newRow("absurd total") << QByteArray("[main]\ntotal=999999999\n0=x\n") << "English" << QStringList{};
        QTest::newRow("code leaving i18n") << QByteArray("[main]\ntotal=1\n0=x\n") << "../i18n/English" << QStringList{};
    }
    void languageSections()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, code);
        ModulesTree tree;
        if (!file.isEmpty())
            writeFile(tree.path("i18n/English.ini"), file);
        QTEST(LanguageStore(tree.modules).getLangStrings(QStringLiteral("main"), code), "texts");
    }

    void dpiNotices_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        QStringList eight;
        for (int i = 1; i <= 8; ++i)
            eight.append(QStringLiteral("DPI %1 gewählt").arg(i));
        QTest::newRow("eight") << 8 << eight;
        QTest::newRow("ten") << 10 << eight;
        QTest::newRow("three, rest default") << 3 << eight.mid(0, 3) + QStringList(5, "DPI Switch to");
    }
    // Entries 0..6 are stages 1..7, entry 7 any other stage; "other" replaces them, no other section does.
    void dpiNotices()
    {
        QFETCH(int, count);
        setDpiNoticeTexts({});
        QCOMPARE(notices(), QStringList(8, "DPI Switch to"));
        ModulesTree tree;
        QByteArray file = "[main]\ntotal=1\n0=x\n[other]\ntotal=" + QByteArray::number(count) + "\n";
        for (int i = 0; i < count; ++i)
            file += QByteArray::number(i) + "=" + QStringLiteral("DPI %1 gewählt").arg(i + 1).toUtf8() + "\n";
        writeFile(tree.path("i18n/German.ini"), file);
        LanguageStore store(tree.modules);
        store.getLangStrings(QStringLiteral("main"), QStringLiteral("German"));
        QCOMPARE(notices(), QStringList(8, "DPI Switch to"));
        store.getLangStrings(QStringLiteral("other"), QStringLiteral("German"));
        QTEST(notices(), "expected");
        for (int stage : {0, -3, 255})
            QCOMPARE(dpiNoticeText(stage), dpiNoticeText(8));
    }

    // The listener's worker reads while the GUI thread replaces the table; every read is one whole text.
    void dpiNoticesReadWhileReplaced()
    {
        const QStringList a(8, QStringLiteral("first")), b(8, QStringLiteral("second, longer text"));
        setDpiNoticeTexts(a);
        std::atomic<bool> stop{false};
        std::atomic<int> bad{0};
        std::thread reader([&] {
            while (!stop) {
                const QString t = dpiNoticeText(3);
                bad += t != a[0] && t != b[0];
            }
        });
        for (int i = 0; i < 20000; ++i)
            setDpiNoticeTexts(i % 2 ? a : b);
        stop = true;
        reader.join();
        QCOMPARE(bad.load(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_FileStores)
#include "tst_filestores.moc"
