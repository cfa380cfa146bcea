#include "AppConfigStore.h"
#include "ProfileStore.h"
#include "StoreFiles.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

namespace {

const QString ReportRate = QStringLiteral("mouse/reportRate");
QByteArray profileText(int rate) { return "[mouse]\nreportRate=" + QByteArray::number(rate) + "\n"; }

// p<i+1>.bin with reportRate i and pD.bin with 9: all of one length, so that a stale cached file
// could not be told apart by its size.
void writeProfiles(const ModulesTree &tree)
{
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        writeFile(tree.profile(i), profileText(i));
    writeFile(tree.path("setting/pD.bin"), profileText(9));
}

} // namespace

// The application configuration and the profiles: the two stores that keep their files open.
class tst_ConfigStores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("asValue");
        QTest::addColumn<QVariantList>("asList");
        QTest::newRow("number") << QVariant(1000) << QVariant("1000") << QVariantList{};
        QTest::newRow("whole number from a script") << QVariant(3.0) << QVariant("3") << QVariantList{};
        QTest::newRow("flag") << QVariant(false) << QVariant("false") << QVariantList{};
        QTest::newRow("text with comma") << QVariant("1,A") << QVariant("1,A") << QVariantList{};
        QTest::newRow("UTF-8") << QVariant(QStringLiteral("鼠标 Ä")) << QVariant(QStringLiteral("鼠标 Ä")) << QVariantList{};
        QTest::newRow("list") << QVariant(QVariantList{0, 1, 2}) << QVariant(QStringList{"0", "1", "2"})
                              << QVariantList{"0", "1", "2"};
        QTest::newRow("list of one") << QVariant(QVariantList{7}) << QVariant(QVariantList{"7"}) << QVariantList{"7"};
    }
    // Both stores give the same answer in the writing session, on disk and in the next session.
    void valuesRoundTrip()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, asValue);
        QFETCH(QVariantList, asList);
        ModulesTree tree;
        const QString key = QStringLiteral("mouse/k");
        for (int pass = 0; pass < 2; ++pass) {
            AppConfigStore config(tree.modules);
            ProfileStore profiles(tree.modules);
            if (pass == 0) {
                config.setGlobalData(key, value);
                profiles.setData(key, value);
            }
            QCOMPARE(config.getGlobalData(key), asValue);
            QCOMPARE(profiles.getData(key, false), asValue);
            QCOMPARE(profiles.getDataList(key, false), asList);
        }
        QCOMPARE(diskValue(tree.path("setting/apConfig.bin"), key), asValue);
        QCOMPARE(diskValue(tree.profile(0), key), asValue);
    }

    void listsAreCommaSeparatedInTheirGroup()
    {
        ModulesTree tree;
        AppConfigStore(tree.modules).setGlobalData(QStringLiteral("mouse/selectGun"), QVariantList{0, 1, 2});
        ProfileStore(tree.modules).setDataList(QStringLiteral("mouseKeyMatrix/15"), {255, 0, 2, 0});
        QVERIFY(readFile(tree.path("setting/apConfig.bin")).contains("[mouse]\nselectGun=0, 1, 2\n"));
        QVERIFY(readFile(tree.profile(0)).contains("[mouseKeyMatrix]\n15=255, 0, 2, 0\n"));
    }

    void damagedFilesReadAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\xff[\x01mouse]\x00reportRate=\x02\n\xc3\x28", 24);
        QTest::newRow("truncated") << QByteArray("[mouse]\nreportRa");
        QTest::newRow("unterminated quote") << QByteArray("[mouse]\nlightValue=\"0, 1\n");
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
            QVERIFY(!flags.is560() && !flags.isGun && !flags.isColorful);
            QCOMPARE(readWindowTitle(tree.modules), QString());
            ProfileStore profiles(tree.modules);
            for (bool recovery : {false, true}) {
                bool isNumber = false;
                profiles.getData(ReportRate, recovery).toString().toInt(&isNumber);
                QVERIFY(!isNumber);
                QVERIFY(profiles.getDataList(QStringLiteral("mouse/lightValue"), recovery).isEmpty());
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
        // Without a factory copy the configuration stays.
        QFile::remove(tree.path("setting/apConfigD.bin"));
        AppConfigStore store(tree.modules);
        store.resetApconfig();
        QCOMPARE(readFile(config), factory);
        QCOMPARE(store.getGlobalData(QStringLiteral("mouse/keyCount")), QVariant("8"));
    }

    void recoveryReadsTheFactoryProfile()
    {
        ModulesTree tree;
        writeProfiles(tree);
        ProfileStore store(tree.modules);
        QCOMPARE(store.getData(ReportRate, true), QVariant("9"));
        QCOMPARE(store.getData(ReportRate, false), QVariant("0"));
        QCOMPARE(store.getXYSensitive(QStringLiteral("1")), QVariant(4));
        QCOMPARE(store.getSelectGun(QStringLiteral("0")), QVariant(QString()));
    }

    void writesGoToTheProfileInUseOnly()
    {
        ModulesTree tree;
        writeProfiles(tree);
        auto expected = tree.snapshot();
        {
            ProfileStore store(tree.modules);
            store.setCurrentProfile(3);
            store.setData(ReportRate, 2);
            store.setXYSensitive(QStringLiteral("0"), 5);
        }
        expected[tree.profile(3)] = "[XYSensitive]\n0=5\n\n[mouse]\nreportRate=2\n";
        QCOMPARE(tree.snapshot(), expected);
    }

    void resetProfileDropsPendingChanges()
    {
        ModulesTree tree;
        writeProfiles(tree);
        {
            ProfileStore store(tree.modules);
            store.setData(ReportRate, 7); // same length as the factory value, not yet written
            store.resetProfile(0);
            QCOMPARE(readFile(tree.profile(0)), profileText(9));
            QCOMPARE(store.getData(ReportRate, false), QVariant("9"));
        }
        QCOMPARE(readFile(tree.profile(0)), profileText(9));
        // Without a factory profile, the profile stays.
        QFile::remove(tree.path("setting/pD.bin"));
        ProfileStore store(tree.modules);
        store.resetProfile(1);
        QCOMPARE(readFile(tree.profile(1)), profileText(1));
    }

    void copyProfile_data()
    {
        QTest::addColumn<int>("dest");
        QTest::addColumn<int>("src");
        QTest::newRow("2 from 5") << 1 << 4;
        QTest::newRow("5 from 2") << 4 << 1;
        QTest::newRow("onto itself") << 2 << 2;
    }
    void copyProfile()
    {
        QFETCH(int, dest);
        QFETCH(int, src);
        ModulesTree tree;
        writeProfiles(tree);
        ProfileStore store(tree.modules);
        store.setCurrentProfile(dest);
        store.copyProfile(dest, src);
        QCOMPARE(readFile(tree.profile(dest)), profileText(src));
        QCOMPARE(readFile(tree.profile(src)), profileText(src));
        QCOMPARE(store.getData(ReportRate, false), QVariant(QString::number(src)));
    }

    void exportReplacesAnOlderExport()
    {
        ModulesTree tree;
        writeProfiles(tree);
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("out.pf"));
        writeFile(chooser.answer, "an older, longer export that must go away entirely\n");
        ProfileStore store(tree.modules);
        store.setCurrentProfile(2);
        store.setData(ReportRate, 1); // shown in the UI, so it belongs in the export
        store.saveProfile(2, chooser);
        QCOMPARE(chooser.calls, QStringList{dialogCall("save", "Save File", "Profile(*.pf)")});
        QCOMPARE(diskValue(chooser.answer, ReportRate), QVariant("1"));
    }

    void import_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::addColumn<bool>("result");
        QTest::addColumn<QVariant>("reportRate");
        QTest::newRow("profile file") << "in.pf" << profileText(5) << true << QVariant("5");
        QTest::newRow("cancelled") << "" << QByteArray() << false << QVariant("1");
        QTest::newRow("vanished file") << "gone.pf" << QByteArray() << false << QVariant("1");
        QTest::newRow("not INI") << "junk.pf" << QByteArray("\x89PNG\r\n\x1a\n\x00\x00\rIHDR", 15) << true << QVariant();
    }
    void import()
    {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, content);
        QFETCH(bool, result);
        QFETCH(QVariant, reportRate);
        ModulesTree tree;
        writeProfiles(tree);
        ScriptedChooser chooser;
        if (!chosen.isEmpty())
            chooser.answer = tree.root.filePath(chosen);
        if (!content.isEmpty())
            writeFile(chooser.answer, content);
        ProfileStore store(tree.modules);
        store.setCurrentProfile(1);
        QCOMPARE(store.loadProfile(1, chooser), result);
        QCOMPARE(chooser.calls, QStringList{dialogCall("open", "Open File", "Profile(*.pf)")});
        QCOMPARE(readFile(tree.profile(1)), result ? content : profileText(1));
        QCOMPARE(store.getData(ReportRate, false), reportRate);
    }

    void indexesOutsideTheStoreAreIgnored()
    {
        ModulesTree tree;
        writeProfiles(tree);
        ScriptedChooser chooser;
        chooser.answer = tree.root.filePath(QStringLiteral("x.pf"));
        writeFile(chooser.answer, profileText(1));
        const auto before = tree.snapshot();
        {
            ProfileStore store(tree.modules);
            store.setCurrentProfile(2);
            for (int index : {-1, 10, 1000}) {
                store.setCurrentProfile(index);
                store.resetProfile(index);
                store.copyProfile(index, 0);
                store.copyProfile(0, index);
                QVERIFY(!store.loadProfile(index, chooser));
                store.saveProfile(index, chooser);
            }
            QCOMPARE(store.currentProfileIndex(), 2);
            QVERIFY(chooser.calls.isEmpty());
        }
        QCOMPARE(tree.snapshot(), before);
    }

    // The settings facility re-reads a cached file only when its size or stamp changed.
    void replacementIsNewerThanAFutureStampedOriginal()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("src")), destination = dir.filePath(QStringLiteral("dst"));
        writeFile(source, "b");
        writeFile(destination, "a");
        QFile f(destination);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
        const QDateTime old = QFileInfo(destination).lastModified();
        QVERIFY(StoreFiles::replaceFile(source, destination));
        QVERIFY(QFileInfo(destination).lastModified() > old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no leftovers
    }
};

QTEST_GUILESS_MAIN(tst_ConfigStores)
#include "tst_configstores.moc"
