#include "AppConfigStore.h"
#include "AppRuleStore.h"
#include "FileChooser.h"
#include "GunDataStore.h"
#include "LanguageStore.h"
#include "MacroStore.h"
#include "MouseOps.h"
#include "NameListStore.h"
#include "ProfileStore.h"
#include "ShippedData.h"
#include "StoreFiles.h"
#include "myQQuickView.h"

#include <QJSEngine>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// modules/ inside a temporary root, which leaves room for files "outside" it.
struct ModulesTree
{
    QTemporaryDir root;
    QString modules = root.path() + QLatin1String("/modules");

    ModulesTree() { QDir().mkpath(modules + QLatin1String("/macro")); }
    QString path(const QString &relative) const { return modules + QLatin1Char('/') + relative; }
    QString profile(int index) const { return path(QStringLiteral("setting/p%1.bin").arg(index + 1)); }
    // Every file under the root with its bytes, to show that nothing else changed.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString f = it.next();
            files.insert(f, readFile(f));
        }
        return files;
    }
};

// What a fresh reader finds on disk: the settings facility caches parsed files per path, so the
// file is read through a copy under a new name.
QVariant diskValue(const QString &path, const QString &key)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QUuid::createUuid().toString(QUuid::Id128));
    QFile::copy(path, copy);
    return QSettings(copy, QSettings::IniFormat).value(key);
}

// Records each dialog as "kind|caption|dir|filter" and answers with `answer` (empty: cancelled).
struct ScriptedChooser : FileChooser
{
    QString answer;
    QStringList calls;
    QString getSaveFileName(const QString &c, const QString &d, const QString &f) override { return ask({"save", c, d, f}); }
    QString getOpenFileName(const QString &c, const QString &d, const QString &f) override { return ask({"open", c, d, f}); }
    QString ask(const QStringList &call) { calls.append(call.join('|')); return answer; }
};

QString dialogCall(const char *kind, const char *caption, const char *filter)
{
    return QStringList{kind, caption, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), filter}.join('|');
}

const QString ReportRate = QStringLiteral("mouse/reportRate");
const QStringList Events{"1,A", "0,50", "2,A"};
QByteArray profileText(int rate) { return "[mouse]\nreportRate=" + QByteArray::number(rate) + "\n"; }

// p<i+1>.bin with reportRate i and pD.bin with 9: all of one length, so that a stale cached file
// could not be told apart by its size.
void writeProfiles(const ModulesTree &tree)
{
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        writeFile(tree.profile(i), profileText(i));
    writeFile(tree.path("setting/pD.bin"), profileText(9));
}

// Whether a stored value or list holds `size` whole numbers, each within low..high.
bool within(const QVariant &value, int size, int low, int high)
{
    const QStringList texts = value.toStringList();
    return texts.size() == size && std::all_of(texts.cbegin(), texts.cend(), [&](const QString &t) {
        bool ok = false;
        const int n = t.toInt(&ok);
        return ok && n >= low && n <= high;
    });
}

} // namespace

// Every store on a modules tree in a temporary directory, the view's slots that reach them, and
// the shipped data as the program reads it.
class tst_Stores : public QObject
{
    Q_OBJECT
    ModulesTree m_shipped; // a copy of the shipped data, so that nothing writes the sources

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ShippedData::copyTo(m_shipped.modules));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("asValue");
        QTest::addColumn<QVariantList>("asList");
        QTest::newRow("whole number from a script") << QVariant(3.0) << QVariant("3") << QVariantList{};
        QTest::newRow("text with comma") << QVariant("1,A") << QVariant("1,A") << QVariantList{};
        QTest::newRow("UTF-8") << QVariant(QStringLiteral("鼠标 Ä")) << QVariant(QStringLiteral("鼠标 Ä")) << QVariantList{};
        QTest::newRow("list") << QVariant(QVariantList{0, 1, 2}) << QVariant(QStringList{"0", "1", "2"})
                              << QVariantList{"0", "1", "2"};
        QTest::newRow("list of one") << QVariant(QVariantList{7}) << QVariant(QVariantList{"7"}) << QVariantList{"7"};
    }
    // Both stores answer in the writing session as a fresh reader of the file does.
    void valuesRoundTrip()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, asValue);
        ModulesTree tree;
        const QString key = QStringLiteral("mouse/k");
        {
            AppConfigStore config(tree.modules);
            ProfileStore profiles(tree.modules);
            config.setGlobalData(key, value);
            profiles.setData(key, value);
            QCOMPARE(config.getGlobalData(key), asValue);
            QCOMPARE(profiles.getData(key, false), asValue);
            QTEST(profiles.getDataList(key, false), "asList");
        }
        QCOMPARE(diskValue(tree.path("setting/apConfig.bin"), key), asValue);
        QCOMPARE(diskValue(tree.profile(0), key), asValue);
        // Lists stand comma-separated in their group, as in the shipped files.
        ProfileStore(tree.modules).setDataList(QStringLiteral("mouseKeyMatrix/15"), {255, 0, 2, 0});
        QVERIFY(readFile(tree.profile(0)).contains("[mouseKeyMatrix]\n15=255, 0, 2, 0\n"));
    }

    void damagedFilesReadAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\xff[\x01mouse]\x00reportRate=\x02\n\xc3\x28", 24);
        QTest::newRow("lists where values belong") << QByteArray("[mouse]\nreportRate=1, 2\nisGun=1, 2\nicType=5, 6\n");
        QTest::newRow("value where a list belongs") << QByteArray("[mouse]\nlightValue=012\n");
    }
    // Nothing crashes, nothing usable is made up, and reading writes nothing.
    void damagedFilesReadAsAbsent()
    {
        QFETCH(QByteArray, file);
        ModulesTree tree;
        for (const QString &f : {tree.path("setting/apConfig.bin"), tree.profile(0), tree.path("setting/pD.bin")})
            if (!file.isEmpty())
                writeFile(f, file);
        const auto before = tree.snapshot();
        {
            AppConfigStore config(tree.modules);
            QVERIFY(!config.getGlobalData(QStringLiteral("mouse/keyCount")).isValid());
            const ModelFlags flags = config.modelFlags();
            QVERIFY(!flags.is560() && !flags.isGun && !flags.isColorful && readWindowTitle(tree.modules).isEmpty());
            ProfileStore profiles(tree.modules);
            for (bool recovery : {false, true}) {
                bool isNumber = false;
                profiles.getData(ReportRate, recovery).toString().toInt(&isNumber);
                QVERIFY(!isNumber && profiles.getDataList(QStringLiteral("mouse/lightValue"), recovery).isEmpty());
            }
        }
        QCOMPARE(tree.snapshot(), before);
    }

    void resetApconfigRestoresFactoryAndDropsPendingChanges()
    {
        ModulesTree tree;
        const QString config = tree.path("setting/apConfig.bin");
        const QByteArray factory = "[mouse]\nkeyCount=8\n";
        writeFile(config, "[mouse]\nkeyCount=6\nprofileNo=3\n");
        writeFile(tree.path("setting/apConfigD.bin"), factory);
        {
            AppConfigStore store(tree.modules);
            store.setGlobalData(QStringLiteral("mouse/profileNo"), 5); // not yet written
            store.resetApconfig();
            QCOMPARE(store.getGlobalData(QStringLiteral("mouse/keyCount")), QVariant("8"));
            QVERIFY(!store.getGlobalData(QStringLiteral("mouse/profileNo")).isValid());
        }
        QCOMPARE(readFile(config), factory); // nothing arrives later either
        QFile::remove(tree.path("setting/apConfigD.bin")); // without a factory copy the configuration stays
        AppConfigStore(tree.modules).resetApconfig();
        QCOMPARE(readFile(config), factory);
    }

    void replaceProfile_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QByteArray>("source"); // the factory profile, profile 5 or the chosen file; null: none
        QTest::addColumn<QByteArray>("after");  // profile 2 afterwards
        const QByteArray png("\x89PNG\r\n\x1a\n\x00\x00\rIHDR", 15), pending = profileText(7);
        QTest::newRow("reset") << "reset" << profileText(9) << profileText(9);
        QTest::newRow("reset without factory") << "reset" << QByteArray() << pending;
        QTest::newRow("copy") << "copy" << profileText(5) << profileText(5);
        QTest::newRow("copy onto itself") << "self" << QByteArray() << pending;
        QTest::newRow("import") << "import" << profileText(5) << profileText(5);
        QTest::newRow("import vanished") << "import" << QByteArray() << pending;
        QTest::newRow("import not INI") << "import" << png << png;
        QTest::newRow("export over an older one") << "export" << QByteArray("an older, longer export\n") << pending;
    }
    // Profile 2 holds a pending change of the same length as every replacement: it is written first,
    // so it never reaches the replacement, and the store then reads what is on disk.
    void replaceProfile()
    {
        QFETCH(QString, op);
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, after);
        ModulesTree tree;
        writeProfiles(tree);
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("chosen.pf"));
        const QString from = op == "reset" ? tree.path("setting/pD.bin") : op == "copy" ? tree.profile(4) : chooser.answer;
        QFile::remove(from);
        if (!source.isNull())
            writeFile(from, source);
        {
            ProfileStore store(tree.modules);
            store.setCurrentProfile(1);
            store.setData(ReportRate, 7);
            bool imported = false;
            if (op == "reset")
                store.resetProfile(1);
            else if (op == "copy" || op == "self")
                store.copyProfile(1, op == "copy" ? 4 : 1);
            else if (op == "export")
                store.saveProfile(1, chooser);
            else
                imported = store.loadProfile(1, chooser);
            QCOMPARE(imported, op == "import" && !source.isNull());
            QCOMPARE(readFile(tree.profile(1)), after);
            QCOMPARE(store.getData(ReportRate, false), diskValue(tree.profile(1), ReportRate));
        }
        QCOMPARE(readFile(tree.profile(1)), after);
        QCOMPARE(readFile(chooser.answer), op == "export" ? after : op == "import" ? source : QByteArray());
        const QString dialog = op == "export" ? dialogCall("save", "Save File", "Profile(*.pf)")
                                              : dialogCall("open", "Open File", "Profile(*.pf)");
        QCOMPARE(chooser.calls, op == "import" || op == "export" ? QStringList{dialog} : QStringList());
    }

    // Indexes outside the store and cancelled dialogs change nothing; recovery reads the factory profile.
    void requestsThatChangeNothing()
    {
        ModulesTree tree;
        writeProfiles(tree);
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("x.pf"));
        writeFile(chooser.answer, profileText(1));
        const auto before = tree.snapshot();
        {
            ProfileStore store(tree.modules);
            QCOMPARE(store.getData(ReportRate, true), QVariant("9"));
            store.setCurrentProfile(2);
            for (int index : {-1, ProfileStore::ProfileCount}) {
                store.setCurrentProfile(index);
                store.resetProfile(index);
                store.copyProfile(index, 0);
                store.copyProfile(0, index);
                QVERIFY(!store.loadProfile(index, chooser));
                store.saveProfile(index, chooser);
            }
            QCOMPARE(store.currentProfileIndex(), 2);
            QVERIFY(chooser.calls.isEmpty());
            chooser.answer.clear();
            QVERIFY(!store.loadProfile(2, chooser));
            store.saveProfile(2, chooser);
            QCOMPARE(chooser.calls.size(), 2);
        }
        QCOMPARE(tree.snapshot(), before);
    }

    // The settings facility re-reads a cached file only when its size or stamp changed.
    void replacementIsNewerThanAFutureStampedOriginal()
    {
        ModulesTree tree;
        const QString source = tree.path("src"), destination = tree.path("dst");
        writeFile(source, "b");
        writeFile(destination, "a");
        QFile f(destination);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
        const QDateTime old = QFileInfo(destination).lastModified();
        QVERIFY(StoreFiles::replaceFile(source, destination) && QFileInfo(destination).lastModified() > old);
        QCOMPARE(QDir(tree.modules).entryList(QDir::Files | QDir::Hidden), QStringList({"dst", "src"})); // no leftovers
    }

    // A single name gets the sentinel; an empty list removes the key; unknown types store nothing.
    void nameLists()
    {
        ModulesTree tree;
        NameListStore store(tree.modules);
        QVERIFY(store.updataNameList(0, {"Macro_0"}) && store.updataNameList(3, {"a,b", "c"}));
        QVERIFY(store.updataNameList(2, {"Standard0", "x"}) && store.updataNameList(2, {}));
        QVERIFY(store.updataNameList(7, {"x", "y"}));
        // Written when each call returns; a comma inside a name is quoted.
        QCOMPARE(readFile(store.filePath()), QByteArray("[gun]\nselectGun=\"a,b\", c\n\n[macro]\nmacroName=Macro_0, loaderbeacon\n"));
        QCOMPARE(store.getNameList(0), QVariantList({"Macro_0", "loaderbeacon"}));
        QCOMPARE(store.getNameList(3), QVariantList({"a,b", "c"}));
        QVERIFY(store.getNameList(2).isEmpty() && store.getNameList(7).isEmpty());
    }

    void macroFiles()
    {
        ModulesTree tree;
        MacroStore store(tree.modules);
        const QString name = QStringLiteral("Macro_0"), file = tree.path("macro/Macro_0.bin");
        QVERIFY(!store.saveMacroIni(name, Events, 1)); // only into a created macro
        QVERIFY(store.createMacroIni(name, 0));
        QCOMPARE(store.loadMacroIni(name), QStringList{"1"});
        QVERIFY(store.saveMacroIni(name, Events + QStringList{"3,L-Click"}, 2));
        QVERIFY(store.saveMacroIni(name, Events, 3)); // fewer events leave no stale ones
        QCOMPARE(store.loadMacroIni(name), Events + QStringList{"3"});
        QVERIFY(readFile(file).contains("0=\"1,A\"\n") && !readFile(file).contains("L-Click"));
        QVERIFY(store.deleteMacroIni(name) && !store.deleteMacroIni(name));
        QVERIFY(!QFile::exists(file));
        // Damaged files: an absurd total reads no events, missing events and repeat read "0".
        const QList<std::pair<QByteArray, QStringList>> damaged{{"[config]\ntotal=2147483647\nrepeat=2\n", {"2"}},
            {"[config]\ntotal=2\n[macro]\n1=\"2,B\"\n", {"0", "2,B", "0"}}, {QByteArray("\x7f" "ELF\x02\x01\x01", 7), {"0"}}};
        for (const auto &[bytes, events] : damaged) {
            writeFile(tree.path("macro/bad.bin"), bytes);
            QCOMPARE(store.loadMacroIni(QStringLiteral("bad")), events);
            QCOMPARE(readFile(tree.path("macro/bad.bin")), bytes);
        }
    }

    void macroNamesThatAreNotFileNames_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"../setting/p1", "..", "", "a\\b", "a\x01"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    // Every operation refuses the name and no file anywhere changes.
    void macroNamesThatAreNotFileNames()
    {
        QFETCH(QString, name);
        ModulesTree tree;
        writeFile(tree.profile(0), "[mouseKeyMatrix]\n2=4, 0, 2, 0\n[mouseMacroKey]\n2=" + name.toUtf8() + "\n");
        writeFile(tree.path("macro/good.bin"), "[config]\ntotal=0\n");
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("chosen.mc"));
        writeFile(chooser.answer, "[config]\ntotal=0\n");
        const auto before = tree.snapshot();
        {
            MacroStore store(tree.modules);
            ProfileStore profiles(tree.modules);
            QVERIFY(!store.createMacroIni(name, 0) && !store.saveMacroIni(name, Events, 1) && !store.deleteMacroIni(name));
            QVERIFY(store.loadMacroIni(name).isEmpty() && !store.loadMacroFile(name, chooser));
            store.saveMacroFile(name, chooser);
            QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("good"), name, profiles));
            QVERIFY(!store.modifyMacroNameUpdateProfile(name, QStringLiteral("good2"), profiles));
            store.deleteMacroUpdateProfile(name, profiles);
            QVERIFY(chooser.calls.isEmpty());
        }
        QCOMPARE(tree.snapshot(), before);
    }

    // Renames follow in profiles 0..5 only; a delete resets, to the factory entry, only the
    // well-formed macro assignments whose slot names the macro.
    void renameAndDeleteFollowInProfilesZeroToFive()
    {
        ModulesTree tree;
        QByteArray factory = "[mouseKeyMatrix]\n";
        for (int k = 0; k < ProfileStore::KeyCount; ++k)
            factory += QByteArray::number(k) + "=0, 0, 240, 0\n";
        writeFile(tree.path("setting/pD.bin"), factory);
        for (int p : {0, 4, 7}) // 3 to 5 are not macro assignments
            writeFile(tree.profile(p), "[mouseKeyMatrix]\n1=4, 0, 1, 0\n2=4, 0, 2, 0\n3=0, 0, 3, 0\n4=4, 0\n5=4, 0, x, 0\n"
                                       "7=4, 0, 7, 0\n[mouseMacroKey]\n1=old\n2=keep\n3=old\n4=old\n5=old\n7=old\n");
        MacroStore store(tree.modules);
        ProfileStore profiles(tree.modules);
        store.createMacroIni(QStringLiteral("old"), 0);
        store.createMacroIni(QStringLiteral("taken"), 0);
        QVERIFY(store.modifyMacroNameUpdateProfile(QStringLiteral("old"), QStringLiteral("new"), profiles));
        QVERIFY(!QFile::exists(tree.path("macro/old.bin")) && QFile::exists(tree.path("macro/new.bin")));
        // Onto an existing macro: the profiles follow, the file rename fails.
        QVERIFY(!store.modifyMacroNameUpdateProfile(QStringLiteral("new"), QStringLiteral("taken"), profiles));
        QVERIFY(QFile::exists(tree.path("macro/new.bin")));
        store.deleteMacroUpdateProfile(QStringLiteral("taken"), profiles);
        for (int p : {0, 4, 7}) {
            profiles.setCurrentProfile(p);
            QStringList keys;
            for (int k : {1, 7, 2, 3, 4, 5})
                keys += profiles.getData(QStringLiteral("mouseKeyMatrix/%1").arg(k), false).toStringList().join(',');
            const QStringList reset = p == 7 ? QStringList{"4,0,1,0", "4,0,7,0"} : QStringList(2, "0,0,240,0");
            QCOMPARE(keys, reset + QStringList({"4,0,2,0", "0,0,3,0", "4,0", "4,0,x,0"}));
            QCOMPARE(profiles.getData(QStringLiteral("mouseMacroKey/1"), false), QVariant(p == 7 ? "old" : "taken"));
        }
    }

    // UTF-8 texts with a comma and a gap; damaged totals and codes that leave i18n read nothing.
    void languageSections()
    {
        ModulesTree tree;
        writeFile(tree.path("i18n/English.ini"), QStringLiteral("[main]\ntotal=3\n0=\"配置, 文件\"\n2=Größe\n"
                                                               "[bad]\ntotal=999999999\n0=x\n").toUtf8());
        LanguageStore store(tree.modules);
        const QString english = QStringLiteral("English");
        QCOMPARE(store.getLangStrings("main", english), QStringList({QStringLiteral("配置, 文件"), "", QStringLiteral("Größe")}));
        QVERIFY(store.getLangStrings("bad", english).isEmpty() && store.getLangStrings("main", "Klingon").isEmpty());
        QVERIFY(store.getLangStrings("main", "../i18n/English").isEmpty());
    }

    // Entries 0..6 are stages 1..7, entry 7 any other stage, and what a list lacks is the default.
    // The listener's worker reads while the GUI thread replaces the table; every read is one whole text.
    void dpiNotices()
    {
        setDpiNoticeTexts({"one", "", "three"});
        for (int stage : {2, 4, 8, 0, -3, 255})
            QCOMPARE(dpiNoticeText(stage), QStringLiteral("DPI Switch to"));
        QCOMPARE(dpiNoticeText(1) + dpiNoticeText(3), QStringLiteral("onethree"));
        const QStringList a(8, QStringLiteral("first")), b(8, QStringLiteral("second, longer text"));
        setDpiNoticeTexts(a);
        std::atomic<bool> stop{false};
        std::atomic<int> bad{0};
        std::thread reader([&] {
            while (!stop)
                bad += !QStringList({a[0], b[0]}).contains(dpiNoticeText(3));
        });
        for (int i = 0; i < 20000; ++i)
            setDpiNoticeTexts(i % 2 ? a : b);
        stop = true;
        reader.join();
        QCOMPARE(bad.load(), 0);
    }

    // The view's slots, called by name as the documents call them: arguments in place, and script
    // arrays, which arrive wrapped, stored as lists.
    void viewSlots()
    {
        ModulesTree tree;
        writeProfiles(tree);
        myQQuickView view(nullptr, tree.modules);
        QJSEngine engine;
        const QVariant wrapped = QVariant::fromValue(engine.evaluate(QStringLiteral("[0, 1, 2]")));
        QVariantList list;
        QVariant global;
        QVERIFY(QMetaObject::invokeMethod(&view, "copyProfile", Q_ARG(int, 1), Q_ARG(int, 4)));
        QVERIFY(QMetaObject::invokeMethod(&view, "setData", Q_ARG(QVariant, "mouse/lightValue"), Q_ARG(QVariant, wrapped)));
        QVERIFY(QMetaObject::invokeMethod(&view, "setGlobalData", Q_ARG(QVariant, "mouse/selectGun"), Q_ARG(QVariant, wrapped)));
        QVERIFY(QMetaObject::invokeMethod(&view, "getDataList", Q_RETURN_ARG(QVariantList, list),
                                          Q_ARG(QVariant, "mouse/lightValue"), Q_ARG(bool, false)));
        QVERIFY(QMetaObject::invokeMethod(&view, "getGlobalData", Q_RETURN_ARG(QVariant, global), Q_ARG(QVariant, "mouse/selectGun")));
        QCOMPARE(readFile(tree.profile(1)), profileText(4));
        QCOMPARE(list, QVariantList({"0", "1", "2"}));
        QCOMPARE(global.toList(), list);
        ScriptedChooser chooser; // the view's dialogs go to the chooser it was given; this one cancels
        view.setFileChooser(&chooser);
        bool imported = true;
        QVERIFY(QMetaObject::invokeMethod(&view, "loadMacroFile", Q_RETURN_ARG(bool, imported), Q_ARG(QVariant, "Macro_1")));
        QVERIFY(!imported && chooser.calls.size() == 1);
    }

    void shippedConfigurationNamesAndTexts()
    {
        AppConfigStore store(m_shipped.modules);
        auto value = [&](const QString &key) { return store.getGlobalData(key).toStringList().join(' '); };
        QCOMPARE(readFile(m_shipped.path("setting/apConfigD.bin")), readFile(store.filePath()));
        QStringList devices{value("common/deviceCount")};
        for (const QString group : {"0/", "1/"}) {
            QStringList fields;
            for (const char *key : {"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "reportLength"})
                fields << value(group + key);
            devices << fields.join(' ');
        }
        QCOMPARE(devices, QStringList({"2", "0 04d9 8008 ff00 ff00 ff01 ff01 64", "1 04d9 a1ee ff00 ff00 ff01 ff01 32"}));
        QCOMPARE(value("1/isEncode") + ' ' + value("1/sCode"), QStringLiteral("true 583014"));
        const ModelFlags flags = store.modelFlags();
        QVERIFY(flags.is560() && flags.isColorful && flags.isGun && !flags.is55328);
        QCOMPARE(readWindowTitle(m_shipped.modules), QStringLiteral("KESTREL ORBIT MOUSE K7"));
        QVERIFY(within(store.getGlobalData("mouse/keyCount"), 1, 1, 8));
        QCOMPARE(store.getGlobalData("mouse/selectGun"), QVariant(QStringList{"0", "1", "2"}));
        // The DPI range suits the sensor's stage codes.
        const QMap<QString, int> maxDpi{{"3360", 12000}, {"3050", 4000}, {"3389", 16000}, {"4090", 5000}};
        const int low = value("mouse/minDPI").toInt(), high = value("mouse/maxDPI").toInt(), base = value("mouse/dpiBase").toInt();
        QVERIFY(low > 0 && low < high && high <= maxDpi.value(value("mouse/sensorType")) && base > 0 && base <= low);
        QCOMPARE(NameListStore(m_shipped.modules).getNameList(2), QVariantList({"Standard0", "loaderbeacon"}));
        GunDataStore guns(m_shipped.modules);
        QCOMPARE(guns.getGunDataKey(), QStringList({"0", "1", "2", "3", "4", "5"}));
        QStringList names; // in the order of the gun page's pictures
        for (const QString &key : guns.getGunDataKey()) {
            const QVariantList gun = guns.getGunData(key);
            names << gun.value(0).toString() + ' ' + gun.value(1).toString();
            QVERIFY(within(gun.mid(2), 4, 0, 255) && within(gun.value(2), 1, 4, 90) && within(gun.value(4), 1, 0, 64));
        }
        QCOMPARE(names, QStringList({"M416 L-Click", "AKM L-Click", "M16A4 L-Click", "SCAR-L L-Click", "UNP9 L-Click", "Thomson L-Click"}));
        const QStringList other = LanguageStore(m_shipped.modules).getLangStrings("other", value("common/language"));
        QVERIFY(other.size() >= LanguageStore::DpiNoticeCount);
        QCOMPARE(dpiNoticeText(1), other[0]); // the "other" section carries the DPI notices
    }

    void shippedProfiles()
    {
        // Every profile starts as the factory profile, so the checks read that one.
        for (int p = 0; p < ProfileStore::ProfileCount; ++p)
            QCOMPARE(readFile(m_shipped.profile(p)), readFile(m_shipped.path("setting/pD.bin")));
        AppConfigStore config(m_shipped.modules);
        const int minDpi = config.getGlobalData("mouse/minDPI").toInt(), maxDpi = config.getGlobalData("mouse/maxDPI").toInt();
        ProfileStore store(m_shipped.modules);
        auto get = [&](const QString &key) { return store.getData(key, true); };
        const struct { const char *key; int size, low, high; } ranges[] = {{"mouse/dpiCount", 1, 1, 8},
            {"mouse/dpiValueArray", 8, minDpi, maxDpi}, {"mouse/reportRate", 1, 0, 3}, {"mouse/colorValue", 24, 0, 255},
            {"mouse/lightValue", 3, 0, 11}, {"mouse/mouseRate", 1, 3, 337}, {"mouse/doubleRate", 1, 3, 337},
            {"XYSensitive/0", 1, 0, 255}, {"XYSensitive/1", 1, 0, 255}, {"selectGun/0", 1, 0, 5}, {"selectGun/1", 1, 0, 5},
            {"selectGun/2", 1, 0, 5}, {"mouse/currentDpiCount", 1, 1, get("mouse/dpiCount").toInt()}};
        for (const auto &r : ranges)
            QVERIFY2(within(get(r.key), r.size, r.low, r.high), r.key);
        QVERIFY(within(get("mouse/lightValue").toStringList().mid(1), 2, 0, 4));
        QVERIFY(within(get("mouse/scrollRate"), 1, 1, 100) || get("mouse/scrollRate") == QVariant("1000"));
        for (const QString &dpi : get("mouse/dpiValueArray").toStringList())
            QCOMPARE(dpi.toInt() % config.getGlobalData("mouse/dpiBase").toInt(), 0); // the DPI page shows it unchanged
        // The firmware's matrix is the button page's matrix in device encoding.
        QVariantList ui;
        for (int k = 0; k < ProfileStore::KeyCount; ++k) {
            QVERIFY(within(get(QStringLiteral("mouseKeyMatrix/%1").arg(k)), 4, 0, 255));
            ui += store.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), true);
        }
        const MouseOps::KeyMatrix device = MouseOps::translateMatrix(ui, MouseOps::Family::F560);
        for (int k = 0; k < ProfileStore::KeyCount; ++k) {
            QStringList expected;
            for (int i = 4 * k; i < 4 * k + 4; ++i)
                expected << QString::number(device[i]);
            QCOMPARE(get(QStringLiteral("mouseFwKeyMatrix/%1").arg(k)).toStringList(), expected);
        }
    }
    // The [appRules] group as found on disk: damaged rows are skipped with a reason, the rest is
    // used; an edit afterwards writes the group alone, and every other key keeps its value.
    void appRulesFromDisk_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QStringList>("rules"); // "profile match"
        QTest::addColumn<int>("problems");
        QTest::newRow("absent: older file") << QByteArray() << QStringList{} << 0;
        QTest::newRow("two rules") << QByteArray("count=2\nrule1=class:steam_app_570\nprofile1=3\nrule2=\"title:Doom, Eternal\"\nprofile2=6\n")
                                   << QStringList{"3 class:steam_app_570", "6 title:Doom, Eternal"} << 0;
        QTest::newRow("unquoted comma") << QByteArray("count=1\nrule1=title:a, b\nprofile1=1\n") << QStringList{"1 title:a, b"} << 0;
        QTest::newRow("bad rows skipped")
            << QByteArray("count=6\nrule1=window:x\nprofile1=1\nrule2=exe:\nprofile2=1\nrule3=exe:a.exe\nprofile3=7\n"
                          "rule4=exe:b.exe\nprofile4=2x\nrule5=exe:ok.exe\nprofile5=2\n")
            << QStringList{"2 exe:ok.exe"} << 5;
        QTest::newRow("over-long text") << "count=1\nrule1=class:" + QByteArray(201, 'a') + "\nprofile1=1\n" << QStringList{} << 1;
        QTest::newRow("count not a number") << QByteArray("count=lots\nrule1=class:a\nprofile1=1\n") << QStringList{} << 1;
        QTest::newRow("count too large") << QByteArray("count=100000\n") << QStringList{} << 1;
    }
    void appRulesFromDisk()
    {
        QFETCH(QByteArray, group);
        QFETCH(QStringList, rules);
        ModulesTree tree;
        const QString file = tree.path("setting/apConfig.bin");
        const QByteArray rest = "[common]\nname=M\n\n[mouse]\nprofileNo=2\nselectGun=0, 1, 2\n";
        writeFile(file, rest + (group.isEmpty() ? QByteArray() : "\n[appRules]\n" + group));
        const auto outside = [&] {
            QSettings s(file, QSettings::IniFormat);
            QVariantMap m;
            for (const QString &k : s.allKeys())
                if (!k.startsWith("appRules/"))
                    m.insert(k, s.value(k));
            return m;
        };
        const QVariantMap before = outside();
        AppConfigStore config(tree.modules);
        AppRuleStore store(config);
        QStringList problems;
        QStringList found;
        for (const AppRule &r : store.rules(&problems))
            found << QString::number(r.profile) + ' ' + r.match();
        QCOMPARE(found, rules);
        QTEST(int(problems.size()), "problems");
        QVERIFY(!store.enabled());
        QString why;
        QVERIFY(store.add({AppRule::Kind::Exe, "game.exe", 2}, &why));
        QCOMPARE(store.rules().size(), rules.size() + 1);
        QCOMPARE(store.rules().last().match(), QStringLiteral("exe:game.exe"));
        QCOMPARE(outside(), before);
    }

    void appRuleEdits_data()
    {
        QTest::addColumn<QString>("match");
        QTest::addColumn<int>("profile");
        QTest::addColumn<QString>("why"); // empty: accepted
        QTest::newRow("class") << "class:steam_app_570" << 3 << "";
        QTest::newRow("title with colon") << "title:a:b" << 6 << "";
        QTest::newRow("longest") << "exe:" + QString(200, 'x') << 1 << "";
        QTest::newRow("over-long") << "exe:" + QString(201, 'x') << 1 << "longer than 200";
        QTest::newRow("empty") << "class:" << 1 << "has no text";
        QTest::newRow("blank") << "title:  " << 1 << "has no text";
        QTest::newRow("no kind") << "firefox" << 1 << "class:TEXT";
        QTest::newRow("unknown kind") << "window:firefox" << 1 << "class:TEXT";
        QTest::newRow("profile 0") << "class:a" << 0 << "no profile 0";
        QTest::newRow("profile 7") << "class:a" << 7 << "no profile 7";
        QTest::newRow("new line") << "title:a\nb" << 1 << "control character";
        QTest::newRow("duplicate") << "class:first" << 1 << "already has";
    }
    // A refused edit leaves the file byte for byte; removal renumbers; the feature's switch keeps
    // the desktop profile it was first turned on with.
    void appRuleEdits()
    {
        QFETCH(QString, match);
        QFETCH(int, profile);
        QFETCH(QString, why);
        ModulesTree tree;
        const QString file = tree.path("setting/apConfig.bin");
        writeFile(file, "[appRules]\ncount=1\nrule1=class:first\nprofile1=1\n");
        auto config = std::make_unique<AppConfigStore>(tree.modules);
        AppRuleStore store(*config);
        const QByteArray before = readFile(file);
        QString got;
        const auto rule = AppRule::parse(match, profile, &got);
        QCOMPARE(rule && store.add(*rule, &got), why.isEmpty());
        QVERIFY2(got.contains(why), qPrintable(got));
        if (!why.isEmpty()) {
            config.reset();
            QCOMPARE(readFile(file), before);
            return;
        }
        QCOMPARE(store.rulesOf(profile).last().first, 2);
        QVERIFY(!store.remove(3, &got) && !store.remove(0, &got) && got.contains("1 to 2"));
        QVERIFY(store.remove(1, &got));
        QCOMPARE(store.rules(), QList<AppRule>{*rule});
        QCOMPARE(store.desktopProfile(), 0);
        store.setEnabled(true, 4);
        store.setEnabled(false, 4);
        store.setEnabled(true, 2);
        QVERIFY(store.enabled() && store.desktopProfile() == 4 && !store.setDesktopProfile(7, &got));
        config.reset();
        QCOMPARE(diskValue(file, "appRules/count"), QVariant("1"));
        QCOMPARE(diskValue(file, "appRules/rule1"), QVariant(rule->match()));
        QVERIFY(!diskValue(file, "appRules/rule2").isValid());
    }
};

QTEST_MAIN(tst_Stores)
#include "tst_stores.moc"
