// Every store on a modules tree in a temporary folder, the view's store slots, and the shipped data
// as the program reads it.
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

#include <QtTest>

#include <atomic>
#include <thread>

namespace {

using Files = QMap<QString, QByteArray>; // path under the temporary root: bytes

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// modules/ inside a temporary root, which leaves room for files "outside" it.
struct ModulesTree
{
    QTemporaryDir root;
    QString modules = root.filePath(QStringLiteral("modules"));

    explicit ModulesTree(const Files &files = {})
    {
        QDir().mkpath(modules + QLatin1String("/macro"));
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QDir().mkpath(QFileInfo(root.filePath(it.key())).absolutePath());
            QFile f(root.filePath(it.key()));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(it.value()) == it.value().size());
        }
    }
    Files snapshot() const
    {
        Files files;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            files.insert(QDir(root.path()).relativeFilePath(f), readFile(f));
        }
        return files;
    }
};

const QString Config = QStringLiteral("modules/setting/apConfig.bin");
const QString Factory = QStringLiteral("modules/setting/pD.bin");
const QString Chosen = QStringLiteral("chosen");
const QString ReportRate = QStringLiteral("mouse/reportRate");
QString profile(int index) { return QStringLiteral("modules/setting/p%1.bin").arg(index + 1); }
QByteArray profileText(int rate) { return "[mouse]\nreportRate=" + QByteArray::number(rate) + "\n"; }
QString str(bool b) { return QString::number(b); }

// p<i+1>.bin with reportRate i and pD.bin with 9: all of one length, so that a stale cached file
// could not be told apart by its size.
Files profileFiles(const Files &more = {})
{
    Files files = more;
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        files.insert(profile(i), profileText(i));
    files.insert(Factory, profileText(9));
    return files;
}

// Every store on one tree, as the program holds them, and the file chooser: it records each dialog
// as "kind|caption|dir|filter" and answers with `answer`, root/chosen at first (empty: cancelled).
struct Stores : FileChooser
{
    explicit Stores(const ModulesTree &tree)
        : tree(tree), config(tree.modules), profiles(tree.modules), macros(tree.modules), names(tree.modules),
          rules(config), answer(tree.root.filePath(Chosen))
    {
    }
    QString getSaveFileName(const QString &c, const QString &d, const QString &f) override { return ask({"save", c, d, f}); }
    QString getOpenFileName(const QString &c, const QString &d, const QString &f) override { return ask({"open", c, d, f}); }
    QString ask(const QStringList &call) { calls.append(call.join('|')); return answer; }
    const ModulesTree &tree;
    AppConfigStore config;
    ProfileStore profiles;
    MacroStore macros;
    NameListStore names;
    AppRuleStore rules;
    QString answer;
    QStringList calls;
};
using Op = std::function<QString(Stores &)>;

void row(const QString &tag, const Files &files, const Op &op, const QString &result, const Files &changes = {})
{
    QTest::newRow(qPrintable(tag)) << files << op << result << changes;
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

class tst_Stores : public QObject
{
    Q_OBJECT
    ModulesTree m_shipped; // a copy of the shipped data, so that nothing writes the sources

    void valueRows()
    {
        // Both stores answer in the writing session as the file holds it afterwards; lists stand
        // comma-separated in their group, as in the shipped files.
        const auto roundTrip = [](const QVariant &value) {
            return Op([=](Stores &s) {
                s.config.setGlobalData(QStringLiteral("mouse/k"), value);
                s.profiles.setData(QStringLiteral("mouse/k"), value);
                const QVariant config = s.config.getGlobalData(QStringLiteral("mouse/k"));
                const QVariantList list = s.profiles.getDataList(QStringLiteral("mouse/k"), false);
                return QStringList{config.typeName(), config.toStringList().join('/'),
                                   str(s.profiles.getData(QStringLiteral("mouse/k"), false) == config),
                                   QVariant(list).toStringList().join('/')}.join(' ');
            });
        };
        const auto both = [](const QByteArray &bytes) { return Files{{Config, bytes}, {profile(0), bytes}}; };
        row("value: whole number from a script", {}, roundTrip(3.0), "QString 3 1 ", both("[mouse]\nk=3\n"));
        row("value: text with comma", {}, roundTrip("1,A"), "QString 1,A 1 ", both("[mouse]\nk=\"1,A\"\n"));
        row("value: UTF-8", {}, roundTrip(QStringLiteral("鼠标 Ä")), QStringLiteral("QString 鼠标 Ä 1 "),
            both(QStringLiteral("[mouse]\nk=鼠标 Ä\n").toUtf8()));
        row("value: list", {}, roundTrip(QVariantList{0, 1, 2}), "QStringList 0/1/2 1 0/1/2", both("[mouse]\nk=0, 1, 2\n"));
        // A list of one keeps its type on disk, where a plain value would read back as text.
        row("value: list of one", {}, roundTrip(QVariantList{7}), "QVariantList 7 1 7",
            both("[mouse]\nk=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x1\\0\\0\\0\\n\\0\\0\\0\\x2\\0\\x37)\n"));
        // (A key matrix entry through setDataList: tst_ctl_commands, sameReportsAsTheView, "553 macro".)
    }

    void damagedFileRows()
    {
        // Nothing crashes, nothing usable is made up from a damaged file.
        const Op readsNothing = [](Stores &s) {
            const ModelFlags flags = s.config.modelFlags();
            QStringList found{readWindowTitle(s.tree.modules)};
            if (s.config.getGlobalData("mouse/keyCount").isValid() || flags.is560() || flags.isGun || flags.isColorful)
                found << "config";
            for (bool recovery : {false, true}) {
                bool isNumber = false;
                s.profiles.getData(ReportRate, recovery).toString().toInt(&isNumber);
                if (isNumber || !s.profiles.getDataList("mouse/lightValue", recovery).isEmpty())
                    found << "profile";
            }
            return found.join(' ');
        };
        const std::pair<const char *, QByteArray> damaged[] = {
            {"binary", QByteArray("\x00\xff[\x01mouse]\x00reportRate=\x02\n\xc3\x28", 24)},
            {"lists where values belong", "[mouse]\nreportRate=1, 2\nisGun=1, 2\nicType=5, 6\n"},
            {"value where a list belongs", "[mouse]\nlightValue=012\n"}};
        row("damaged: missing", {}, readsNothing, "");
        for (const auto &[tag, bytes] : damaged)
            row(QStringLiteral("damaged: ") + tag, {{Config, bytes}, {profile(0), bytes}, {Factory, bytes}}, readsNothing,
                "");

        // An absurd total reads no events, missing events and repeat read "0"; a total beyond what
        // a section could hold reads no texts.
        const Files files{{"modules/macro/b1.bin", "[config]\ntotal=2147483647\nrepeat=2\n"},
                          {"modules/macro/b2.bin", "[config]\ntotal=2\n[macro]\n1=\"2,B\"\n"},
                          {"modules/macro/b3.bin", QByteArray("\x7f" "ELF\x02\x01\x01", 7)},
                          {"modules/i18n/English.ini", QStringLiteral("[main]\ntotal=3\n0=\"配置, 文件\"\n2=Größe\n"
                                                                      "[bad]\ntotal=999999999\n0=x\n").toUtf8()}};
        row("damaged: macros and language sections", files, [](Stores &s) {
            QStringList got;
            for (const char *bad : {"b1", "b2", "b3"})
                got << s.macros.loadMacroIni(bad).join('/');
            const LanguageStore texts(s.tree.modules);
            for (const auto &[section, language] : {std::pair{"main", "English"}, {"bad", "English"}, {"main", "Klingon"},
                                                    {"main", "../i18n/English"}})
                got << texts.getLangStrings(section, language).join('/');
            return got.join(' ');
        }, QStringLiteral("2 0/2,B/0 0 配置, 文件//Größe   "));
    }

    void replacementRows()
    {
        const Op resetConfig = [](Stores &s) {
            s.config.setGlobalData(QStringLiteral("mouse/profileNo"), 5); // not yet written
            s.config.resetApconfig();
            const auto value = [&](const char *key) { return s.config.getGlobalData(key).toString(); };
            return value("mouse/keyCount") + value("mouse/profileNo");
        };
        const QByteArray factoryConfig = "[mouse]\nkeyCount=8\n";
        row("config reset drops pending changes",
            {{Config, "[mouse]\nkeyCount=6\nprofileNo=3\n"}, {"modules/setting/apConfigD.bin", factoryConfig}}, resetConfig,
            "8", {{Config, factoryConfig}});
        row("config reset without factory copy", {{Config, factoryConfig}}, resetConfig, "85",
            {{Config, factoryConfig + "profileNo=5\n"}});

        // Profile 2 holds a pending change as long as every replacement: it is written first, so it
        // never reaches the replacement, and the store then reads what is on disk. (A reset from the
        // factory profile, an import and an export after an edit: tst_ui_profile.)
        const auto onProfile2 = [](bool (*action)(Stores &)) {
            return Op([=](Stores &s) {
                s.profiles.setCurrentProfile(1);
                s.profiles.setData(ReportRate, 7);
                const bool done = action(s);
                return QStringList{str(done), s.profiles.getData(ReportRate, false).toString(), s.calls.join(';')}
                    .join(' ');
            });
        };
        const Op reset = onProfile2([](Stores &s) { return s.profiles.resetProfile(1), true; });
        const Op copy = onProfile2([](Stores &s) { return s.profiles.copyProfile(1, 4), true; });
        const Op self = onProfile2([](Stores &s) { return s.profiles.copyProfile(1, 1), true; });
        const Op import = onProfile2([](Stores &s) { return s.profiles.loadProfile(1, s); });
        const QByteArray pending = profileText(7), png("\x89PNG\r\n\x1a\n\x00\x00\rIHDR", 15);
        const QString open = "open|Open File|~|Profile(*.pf)";
        Files noFactory = profileFiles();
        noFactory.remove(Factory);
        row("profile reset without factory", noFactory, reset, "1 7 ", {{profile(1), pending}});
        row("profile copy", profileFiles(), copy, "1 4 ", {{profile(1), profileText(4)}});
        row("profile copy onto itself", profileFiles(), self, "1 7 ", {{profile(1), pending}});
        row("profile import vanished", profileFiles(), import, "0 7 " + open, {{profile(1), pending}});
        row("profile import not INI", profileFiles({{Chosen, png}}), import, "1  " + open, {{profile(1), png}});

        // Indexes outside the store and cancelled dialogs change nothing; recovery reads the factory.
        row("profile requests out of range or cancelled", profileFiles({{Chosen, profileText(1)}}), [](Stores &s) {
            const QString recovery = s.profiles.getData(ReportRate, true).toString();
            s.profiles.setCurrentProfile(2);
            bool loaded = false;
            for (int index : {-1, ProfileStore::ProfileCount}) {
                s.profiles.setCurrentProfile(index);
                s.profiles.resetProfile(index);
                s.profiles.copyProfile(index, 0);
                s.profiles.copyProfile(0, index);
                loaded = s.profiles.loadProfile(index, s) || loaded;
                s.profiles.saveProfile(index, s);
            }
            const QString calls = QString::number(s.calls.size());
            s.answer.clear();
            loaded = s.profiles.loadProfile(2, s) || loaded;
            s.profiles.saveProfile(2, s);
            return QStringList{recovery, QString::number(s.profiles.currentProfileIndex()), calls, str(loaded),
                               QString::number(s.calls.size())}.join(' ');
        }, "9 2 0 0 2");

        // The settings facility re-reads a cached file only when its size or stamp changed.
        row("replacement newer than a future-stamped original", {{"src", "b"}, {"dst", "a"}}, [](Stores &s) {
            const QString destination = s.tree.root.filePath("dst");
            QFile f(destination);
            f.open(QIODevice::ReadWrite);
            f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
            f.close();
            const QDateTime old = QFileInfo(destination).lastModified();
            return str(StoreFiles::replaceFile(s.tree.root.filePath("src"), destination)
                       && QFileInfo(destination).lastModified() > old);
        }, "1", {{"dst", "b"}});
    }

    void macroAndNameRows()
    {
        // A single name gets the sentinel; an empty list removes the key; unknown types store
        // nothing; each list is written when its call returns, a comma inside a name quoted.
        row("name lists", {}, [](Stores &s) {
            QStringList got;
            const std::pair<int, QStringList> lists[] = {{0, {"Macro_0"}}, {3, {"a,b", "c"}}, {2, {"Standard0", "x"}},
                                                         {2, {}}, {7, {"x", "y"}}};
            for (const auto &[type, names] : lists)
                got << str(s.names.updataNameList(type, names));
            for (int type : {0, 3, 2, 7})
                got << QVariant(s.names.getNameList(type)).toStringList().join('/');
            return got.join(' ') + '\n' + readFile(s.names.filePath());
        }, "1 1 1 1 1 Macro_0/loaderbeacon a,b/c  \n"
           "[gun]\nselectGun=\"a,b\", c\n\n[macro]\nmacroName=Macro_0, loaderbeacon\n",
            {{"modules/setting/name.bin", "*"}});

        // Every operation refuses a name that is no file name, and no file anywhere changes.
        for (const char *bad : {"../setting/p1", "..", "", "a\\b", "a\x01"}) {
            const QString name = QString::fromLatin1(bad);
            const Files files{{profile(0), "[mouseKeyMatrix]\n2=4, 0, 2, 0\n[mouseMacroKey]\n2=" + QByteArray(bad) + "\n"},
                              {"modules/macro/good.bin", "[config]\ntotal=0\n"}, {Chosen, "[config]\ntotal=0\n"}};
            row("macro name " + name, files, [name](Stores &s) {
                MacroStore &m = s.macros;
                const bool any = m.createMacroIni(name, 0) || m.saveMacroIni(name, {"1,A"}, 1) || m.deleteMacroIni(name)
                    || !m.loadMacroIni(name).isEmpty() || m.loadMacroFile(name, s)
                    || m.modifyMacroNameUpdateProfile("good", name, s.profiles)
                    || m.modifyMacroNameUpdateProfile(name, "good2", s.profiles);
                m.saveMacroFile(name, s);
                m.deleteMacroUpdateProfile(name, s.profiles);
                return str(any) + s.calls.join(';');
            }, "0");
        }

        // Renames follow in profiles 1..6 only; a delete resets, to the factory entry, only the
        // well-formed macro assignments whose slot names the macro (3 to 5 are not such).
        QByteArray factory = "[mouseKeyMatrix]\n";
        for (int k = 0; k < ProfileStore::KeyCount; ++k)
            factory += QByteArray::number(k) + "=0, 0, 240, 0\n";
        Files files{{Factory, factory}};
        for (int p : {0, 4, 7})
            files.insert(profile(p), "[mouseKeyMatrix]\n1=4, 0, 1, 0\n2=4, 0, 2, 0\n3=0, 0, 3, 0\n4=4, 0\n5=4, 0, x, 0\n"
                                     "7=4, 0, 7, 0\n[mouseMacroKey]\n1=old\n2=keep\n3=old\n4=old\n5=old\n7=old\n");
        row("macro rename and delete follow in the profiles", files, [](Stores &s) {
            s.macros.createMacroIni(QStringLiteral("old"), 0);
            s.macros.createMacroIni(QStringLiteral("taken"), 0);
            QStringList got{str(s.macros.modifyMacroNameUpdateProfile("old", "new", s.profiles))};
            // Onto an existing macro: the profiles follow, the file rename fails.
            got << str(s.macros.modifyMacroNameUpdateProfile("new", "taken", s.profiles));
            s.macros.deleteMacroUpdateProfile(QStringLiteral("taken"), s.profiles);
            for (int p : {0, 4, 7}) {
                s.profiles.setCurrentProfile(p);
                for (int k : {1, 7, 2, 3, 4, 5})
                    got << s.profiles.getData(QStringLiteral("mouseKeyMatrix/%1").arg(k), false).toStringList().join(',');
                got << s.profiles.getData(QStringLiteral("mouseMacroKey/1"), false).toString() + '\n';
            }
            return got.join(' ');
        }, "1 0 0,0,240,0 0,0,240,0 4,0,2,0 0,0,3,0 4,0 4,0,x,0 taken\n"
           " 0,0,240,0 0,0,240,0 4,0,2,0 0,0,3,0 4,0 4,0,x,0 taken\n"
           " 4,0,1,0 4,0,7,0 4,0,2,0 0,0,3,0 4,0 4,0,x,0 old\n",
            {{profile(0), "*"}, {profile(4), "*"}, {"modules/macro/new.bin", "*"}, {"modules/macro/taken.bin", "*"}});
    }

    void appRuleRows()
    {
        // The [appRules] group as found on disk: damaged rows are skipped with a reason, the rest
        // is used; an edit afterwards writes the group alone, and every other key keeps its value.
        const Op listThenAdd = [](Stores &s) {
            const auto others = [&] {
                QSettings ini(s.config.filePath(), QSettings::IniFormat);
                QStringList found;
                for (const QString &k : ini.allKeys())
                    if (!k.startsWith("appRules/"))
                        found << k + '=' + ini.value(k).toStringList().join(',');
                return found;
            };
            const QStringList before = others();
            QStringList problems, got;
            for (const AppRule &r : s.rules.rules(&problems))
                got << QString::number(r.profile) + ' ' + r.match();
            got << QString::number(problems.size()) << str(s.rules.enabled());
            QString why;
            got << str(s.rules.add({AppRule::Kind::Exe, "game.exe", 2}, &why)) << s.rules.rules().last().match();
            return (got << QString::number(s.rules.rules().size()) << str(others() == before)).join('|');
        };
        const QByteArray rest = "[common]\nname=M\n\n[mouse]\nprofileNo=2\nselectGun=0, 1, 2\n\n[appRules]\n";
        const std::tuple<const char *, QByteArray, QString> groups[] = {
            {"two rules", "count=2\nrule1=class:steam_app_570\nprofile1=3\nrule2=\"title:Doom, Eternal\"\nprofile2=6\n",
             "3 class:steam_app_570|6 title:Doom, Eternal|0|0|1|exe:game.exe|3|1"},
            {"unquoted comma", "count=1\nrule1=title:a, b\nprofile1=1\n", "1 title:a, b|0|0|1|exe:game.exe|2|1"},
            {"bad rows skipped", "count=6\nrule1=window:x\nprofile1=1\nrule2=exe:\nprofile2=1\nrule3=exe:a.exe\n"
                                 "profile3=7\nrule4=exe:b.exe\nprofile4=2x\nrule5=exe:ok.exe\nprofile5=2\n",
             "2 exe:ok.exe|5|0|1|exe:game.exe|2|1"},
            {"count not a number", "count=lots\nrule1=class:a\nprofile1=1\n", "1|0|1|exe:game.exe|1|1"},
            {"count too large", "count=100000\n", "1|0|1|exe:game.exe|1|1"}};
        row("rules: absent in an older file", {{Config, rest.chopped(12)}}, listThenAdd, "0|0|1|exe:game.exe|1|1",
            {{Config, "*"}});
        for (const auto &[tag, group, result] : groups)
            row(QStringLiteral("rules: ") + tag, {{Config, rest + group}}, listThenAdd, result, {{Config, "*"}});

        // A refused edit leaves the file byte for byte; the feature's switch keeps the desktop profile
        // it was first turned on with. (Removal and its numbering: tst_ctl_commands.)
        const auto edit = [](const QString &match, int profile, const QString &refusal) {
            return Op([=](Stores &s) {
                QString why;
                const auto rule = AppRule::parse(match, profile, &why);
                if (!rule || !s.rules.add(*rule, &why))
                    return why.contains(refusal) ? QStringLiteral("refused") : why;
                QStringList got{QString::number(s.rules.rulesOf(profile).last().first)};
                s.rules.setEnabled(true, 4);
                s.rules.setEnabled(false, 4);
                s.rules.setEnabled(true, 2);
                got << str(s.rules.enabled()) << QString::number(s.rules.desktopProfile());
                return (got << str(s.rules.setDesktopProfile(7, &why))).join(' ');
            });
        };
        const Files first{{Config, "[appRules]\ncount=1\nrule1=class:first\nprofile1=1\n"}};
        const auto written = [](const QString &match, int profile) {
            return Files{{Config, "[appRules]\ncount=2\ndesktopProfile=4\nenabled=true\nprofile1=1\nprofile2="
                                      + QByteArray::number(profile) + "\nrule1=class:first\nrule2=" + match.toUtf8() + "\n"}};
        };
        const std::tuple<const char *, QString, int> accepted[] = {{"title with colon", "title:a:b", 6},
                                                                   {"longest", "exe:" + QString(200, 'x'), 1}};
        for (const auto &[tag, match, profile] : accepted)
            row(QStringLiteral("rule edit: ") + tag, first, edit(match, profile, {}), "2 1 4 0",
                written(match, profile));
        // (A blank text, no kind, a text too long, also read from the file: tst_ctl_commands, the
        // "rule without text", "rule of no kind" and "rule too long" rows, through the same parse.)
        const std::tuple<const char *, QString, int, const char *> refused[] = {
            {"profile 0", "class:a", 0, "no profile 0"}, {"new line", "title:a\nb", 1, "control character"}};
        for (const auto &[tag, match, profile, why] : refused)
            row(QStringLiteral("rule edit: ") + tag, first, edit(match, profile, why), "refused");
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ShippedData::copyTo(m_shipped.modules));
    }

    void scenarios_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("result"); // what the stores answered, "~" for the desktop folder
        QTest::addColumn<Files>("changes");  // null bytes: removed; "*": written, bytes not pinned
        valueRows();
        damagedFileRows();
        replacementRows();
        macroAndNameRows();
        appRuleRows();
    }
    // Each scenario runs on its own tree: what the stores answer, and every file that changed.
    void scenarios()
    {
        QFETCH(Files, files);
        QFETCH(Op, op);
        QFETCH(Files, changes);
        ModulesTree tree(files);
        const Files before = tree.snapshot();
        {
            Stores stores(tree);
            const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
            QTEST(op(stores).replace(desktop, "~"), "result");
        }
        const Files after = tree.snapshot();
        Files expected = before;
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (it.value().isNull())
                expected.remove(it.key());
            else
                expected.insert(it.key(), it.value() == "*" ? after.value(it.key()) : it.value());
        }
        QCOMPARE(after.keys(), expected.keys());
        for (const QString &f : after.keys())
            QVERIFY2(after[f] == expected[f], qPrintable(f + ":\n" + after[f]));
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

    // The shipped data as the program reads it: the device table and model, and every value within
    // what the pages and the mouse take. (Pinned exactly elsewhere, through the same stores: the DPI
    // stages and range in tst_dpi.qml, the colours in tst_light.qml, the cursor, double-click and
    // wheel values in tst_system.qml, the profile names in tst_profile.qml, the DPI notices in
    // tst_widget.)
    void shippedData()
    {
        AppConfigStore config(m_shipped.modules);
        ProfileStore profiles(m_shipped.modules);
        const auto global = [&](const QString &key) { return config.getGlobalData(key).toStringList().join(' '); };
        const auto get = [&](const QString &key) { return profiles.getData(key, true); };
        QCOMPARE(readFile(m_shipped.modules + "/setting/apConfigD.bin"), readFile(config.filePath()));
        for (int p = 0; p < ProfileStore::ProfileCount; ++p) // so the checks read the factory profile
            QCOMPARE(readFile(m_shipped.root.filePath(profile(p))), readFile(m_shipped.root.filePath(Factory)));
        QStringList found{global("common/deviceCount")};
        for (const QString group : {"0/", "1/"}) {
            QStringList fields;
            for (const char *key : {"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "reportLength"})
                fields << global(group + key);
            found << fields.join(' ');
        }
        found << global("1/isEncode") << global("1/sCode") << readWindowTitle(m_shipped.modules)
              << global("mouse/selectGun");
        QCOMPARE(found, QStringList({"2", "0 04d9 8008 ff00 ff00 ff01 ff01 64",
                                     "1 04d9 a1ee ff00 ff00 ff01 ff01 32", "true", "583014",
                                     "KESTREL ORBIT MOUSE K7", "0 1 2"}));
        const ModelFlags flags = config.modelFlags();
        QVERIFY(flags.is560() && flags.isColorful && flags.isGun && !flags.is55328);
        const std::tuple<const char *, QVariant, int, int, int> ranges[] = {
            {"keyCount", config.getGlobalData("mouse/keyCount"), 1, 1, 8}, {"dpiCount", get("mouse/dpiCount"), 1, 1, 8},
            {"reportRate", get("mouse/reportRate"), 1, 0, 3}, {"lightValue", get("mouse/lightValue"), 3, 0, 11},
            {"light speed", get("mouse/lightValue").toStringList().mid(1), 2, 0, 4},
            {"XYSensitive", get("XYSensitive/0").toStringList() + get("XYSensitive/1").toStringList(), 2, 0, 255},
            {"selectGun", get("selectGun/0").toStringList() + get("selectGun/1").toStringList()
                              + get("selectGun/2").toStringList(), 3, 0, 5},
            {"currentDpiCount", get("mouse/currentDpiCount"), 1, 1, get("mouse/dpiCount").toInt()}};
        for (const auto &[key, value, size, from, to] : ranges)
            QVERIFY2(within(value, size, from, to), key);
        // The firmware's matrix is the button page's matrix in device encoding (which tst_keys.qml
        // pins as the mouse holds it after Save).
        QVariantList ui;
        QStringList firmware, device;
        for (int k = 0; k < ProfileStore::KeyCount; ++k) {
            ui += profiles.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), true);
            firmware += get(QStringLiteral("mouseFwKeyMatrix/%1").arg(k)).toStringList();
        }
        for (uchar byte : MouseOps::translateMatrix(ui, MouseOps::Family::F560))
            device << QString::number(byte);
        QCOMPARE(firmware, device);
        GunDataStore guns(m_shipped.modules);
        QStringList names; // in the order of the gun page's pictures
        for (const QString &key : guns.getGunDataKey()) {
            const QVariantList gun = guns.getGunData(key);
            names << key + ' ' + gun.value(0).toString() + ' ' + gun.value(1).toString();
            QVERIFY(within(gun.mid(2), 4, 0, 255) && within(gun.value(2), 1, 4, 90) && within(gun.value(4), 1, 0, 64));
        }
        QCOMPARE(names, QStringList({"0 M416 L-Click", "1 AKM L-Click", "2 M16A4 L-Click", "3 SCAR-L L-Click",
                                     "4 UNP9 L-Click", "5 Thomson L-Click"}));
    }
};

QTEST_GUILESS_MAIN(tst_Stores)
#include "tst_stores.moc"
