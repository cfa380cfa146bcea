#include "ProfileStore.h"
#include "StoreTestSupport.h"

#include <QStandardPaths>
#include <QtTest>

using namespace StoreTest;

namespace {

QByteArray profileText(int reportRate, int dpiCount)
{
    return QStringLiteral("[mouse]\ndpiCount=%1\nreportRate=%2\n").arg(dpiCount).arg(reportRate).toUtf8();
}

// p1 … p10 with reportRate = index, dpiCount 4; pD with reportRate 9 and dpiCount 8. The same
// length everywhere, so that a stale cached file could not be told apart by its size.
void writeProfiles(const ModulesTree &tree)
{
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        writeFile(tree.profile(i), profileText(i, 4));
    writeFile(tree.path("setting/pD.bin"), profileText(9, 8));
}

const QString ReportRate = QStringLiteral("mouse/reportRate");

} // namespace

class tst_ProfileStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void recoveryReadsFactoryProfile();
    void writesGoToTheProfileInUseOnly();
    void valueKinds_data();
    void valueKinds();
    void keyWithIndexIsStoredInItsGroup();
    void resetReplacesAndDropsPendingChanges();
    void resetWithoutFactoryKeepsProfile();
    void copyProfile_data();
    void copyProfile();
    void exportReplacesExistingFile();
    void exportCancelledWritesNothing();
    void import_data();
    void import();
    void indexesOutsideTheStoreAreIgnored_data();
    void indexesOutsideTheStoreAreIgnored();
    void damagedProfileReadsAsAbsent_data();
    void damagedProfileReadsAsAbsent();
    void gunKeysDefaults();
};

void tst_ProfileStore::recoveryReadsFactoryProfile()
{
    ModulesTree tree;
    writeProfiles(tree);
    ProfileStore store(tree.modules);
    QCOMPARE(store.getData(QStringLiteral("mouse/dpiCount"), true), QVariant(QStringLiteral("8")));
    QCOMPARE(store.getData(QStringLiteral("mouse/dpiCount"), false), QVariant(QStringLiteral("4")));
    QVERIFY(!store.getData(QStringLiteral("mouse/absent"), true).isValid());
    QVERIFY(store.getDataList(QStringLiteral("mouse/absent"), false).isEmpty());
}

void tst_ProfileStore::writesGoToTheProfileInUseOnly()
{
    ModulesTree tree;
    writeProfiles(tree);
    QMap<QString, QByteArray> before = tree.snapshot();
    {
        ProfileStore store(tree.modules);
        store.setCurrentProfile(3);
        QCOMPARE(store.currentProfileIndex(), 3);
        store.setData(ReportRate, 2);
        QCOMPARE(store.getData(ReportRate, false), QVariant(QStringLiteral("2")));
    }
    const QMap<QString, QByteArray> after = tree.snapshot();
    QCOMPARE(diskValue(tree.profile(3), ReportRate), QVariant(QStringLiteral("2")));
    before.remove(tree.profile(3));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
}

void tst_ProfileStore::valueKinds_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("asValue");
    QTest::addColumn<QVariantList>("asList");
    QTest::newRow("number") << QVariant(1000) << QVariant(QStringLiteral("1000")) << QVariantList{};
    QTest::newRow("flag") << QVariant(true) << QVariant(QStringLiteral("true")) << QVariantList{};
    QTest::newRow("macro name") << QVariant(QStringLiteral("Macro_1")) << QVariant(QStringLiteral("Macro_1"))
                                << QVariantList{};
    QTest::newRow("list of numbers")
        << QVariant(QVariantList{255, 0, 128}) << QVariant(QStringList{"255", "0", "128"})
        << QVariantList{"255", "0", "128"};
    QTest::newRow("list of one") << QVariant(QVariantList{7}) << QVariant(QVariantList{"7"})
                                 << QVariantList{"7"};
}

// getData and getDataList give the same answers in this session and in the next.
void tst_ProfileStore::valueKinds()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, asValue);
    QFETCH(QVariantList, asList);
    ModulesTree tree;
    const QString key = QStringLiteral("mouse/k");
    {
        ProfileStore store(tree.modules);
        store.setData(key, value);
        QCOMPARE(store.getData(key, false), asValue);
        QCOMPARE(store.getDataList(key, false), asList);
    }
    QCOMPARE(diskValue(tree.profile(0), key), asValue);
    ProfileStore next(tree.modules);
    QCOMPARE(next.getData(key, false), asValue);
    QCOMPARE(next.getDataList(key, false), asList);
}

void tst_ProfileStore::keyWithIndexIsStoredInItsGroup()
{
    ModulesTree tree;
    ProfileStore(tree.modules).setDataList(QStringLiteral("mouseKeyMatrix/15"), {255, 0, 2, 0});
    QVERIFY(readFile(tree.profile(0)).contains("[mouseKeyMatrix]\n15=255, 0, 2, 0\n"));
}

void tst_ProfileStore::resetReplacesAndDropsPendingChanges()
{
    ModulesTree tree;
    writeProfiles(tree);
    const QByteArray factory = readFile(tree.path("setting/pD.bin"));
    {
        ProfileStore store(tree.modules);
        store.setData(ReportRate, 7); // same length as the factory's value, not yet written
        store.resetProfile(0);
        QCOMPARE(readFile(tree.profile(0)), factory);
        QCOMPARE(store.getData(ReportRate, false), QVariant(QStringLiteral("9")));
        QCOMPARE(store.currentProfileIndex(), 0);
    }
    QCOMPARE(readFile(tree.profile(0)), factory);
}

void tst_ProfileStore::resetWithoutFactoryKeepsProfile()
{
    ModulesTree tree;
    writeProfiles(tree);
    QVERIFY(QFile::remove(tree.path("setting/pD.bin")));
    const QByteArray p1 = readFile(tree.profile(0));
    ProfileStore store(tree.modules);
    store.resetProfile(0);
    QCOMPARE(readFile(tree.profile(0)), p1);
    QCOMPARE(store.getData(ReportRate, false), QVariant(QStringLiteral("0")));
}

void tst_ProfileStore::copyProfile_data()
{
    QTest::addColumn<int>("dest");
    QTest::addColumn<int>("src");
    QTest::newRow("1 from 4") << 1 << 4;
    QTest::newRow("4 from 1") << 4 << 1;
    QTest::newRow("onto itself") << 2 << 2;
}

void tst_ProfileStore::copyProfile()
{
    QFETCH(int, dest);
    QFETCH(int, src);
    ModulesTree tree;
    writeProfiles(tree);
    const QByteArray source = readFile(tree.profile(src));
    ProfileStore store(tree.modules);
    store.setCurrentProfile(dest);
    store.copyProfile(dest, src);
    QCOMPARE(readFile(tree.profile(dest)), source);
    QCOMPARE(readFile(tree.profile(src)), source);
    QCOMPARE(store.getData(ReportRate, false), QVariant(QString::number(src)));
}

void tst_ProfileStore::exportReplacesExistingFile()
{
    ModulesTree tree;
    writeProfiles(tree);
    const QString target = tree.root.filePath(QStringLiteral("out.pf"));
    QVERIFY(writeFile(target, "an older, longer export that must go away entirely\n"));
    ScriptedChooser chooser;
    chooser.answer = target;
    ProfileStore store(tree.modules);
    store.setCurrentProfile(2);
    store.setData(ReportRate, 1); // shown in the UI, so it belongs in the export
    store.saveProfile(2, chooser);

    QCOMPARE(chooser.calls.size(), 1);
    QCOMPARE(chooser.calls[0].kind, QStringLiteral("save"));
    QCOMPARE(chooser.calls[0].caption, QStringLiteral("Save File"));
    QCOMPARE(chooser.calls[0].filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(chooser.calls[0].dir, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QCOMPARE(readFile(target), readFile(tree.profile(2)));
    QCOMPARE(diskValue(target, ReportRate), QVariant(QStringLiteral("1")));
}

void tst_ProfileStore::exportCancelledWritesNothing()
{
    ModulesTree tree;
    writeProfiles(tree);
    const auto before = tree.snapshot();
    ScriptedChooser chooser; // answers "cancelled"
    ProfileStore(tree.modules).saveProfile(0, chooser);
    QCOMPARE(chooser.calls.size(), 1);
    QCOMPARE(tree.snapshot(), before);
}

void tst_ProfileStore::import_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("content"); // of the chosen file; empty: it does not exist
    QTest::addColumn<bool>("result");
    QTest::addColumn<QVariant>("reportRate"); // of the profile in use afterwards
    QTest::newRow("profile file") << "in.pf" << profileText(5, 2) << true << QVariant(QStringLiteral("5"));
    QTest::newRow("cancelled") << "" << QByteArray() << false << QVariant(QStringLiteral("1"));
    QTest::newRow("vanished file") << "gone.pf" << QByteArray() << false << QVariant(QStringLiteral("1"));
    QTest::newRow("not INI at all")
        << "junk.pf" << QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 16) << true << QVariant();
}

void tst_ProfileStore::import()
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
        QVERIFY(writeFile(chooser.answer, content));
    const QByteArray old = readFile(tree.profile(1));

    ProfileStore store(tree.modules);
    store.setCurrentProfile(1);
    QCOMPARE(store.loadProfile(1, chooser), result);
    QCOMPARE(chooser.calls.size(), 1);
    QCOMPARE(chooser.calls[0].kind, QStringLiteral("open"));
    QCOMPARE(chooser.calls[0].caption, QStringLiteral("Open File"));
    QCOMPARE(chooser.calls[0].filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(readFile(tree.profile(1)), result ? content : old);
    QCOMPARE(store.getData(ReportRate, false), reportRate);
    QVERIFY(store.getDataList(QStringLiteral("mouse/dpiValueArray"), false).isEmpty());
}

void tst_ProfileStore::indexesOutsideTheStoreAreIgnored_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("10") << 10;
    QTest::newRow("1000") << 1000;
}

void tst_ProfileStore::indexesOutsideTheStoreAreIgnored()
{
    QFETCH(int, index);
    ModulesTree tree;
    writeProfiles(tree);
    const auto before = tree.snapshot();
    ScriptedChooser chooser;
    chooser.answer = tree.root.filePath(QStringLiteral("x.pf"));
    QVERIFY(writeFile(chooser.answer, profileText(1, 1)));
    {
        ProfileStore store(tree.modules);
        store.setCurrentProfile(2);
        store.setCurrentProfile(index);
        QCOMPARE(store.currentProfileIndex(), 2);
        store.resetProfile(index);
        store.copyProfile(index, 0);
        store.copyProfile(0, index);
        QVERIFY(!store.loadProfile(index, chooser));
        store.saveProfile(index, chooser);
        QVERIFY(chooser.calls.isEmpty());
    }
    auto after = tree.snapshot();
    after.remove(chooser.answer);
    QCOMPARE(after, before);
}

void tst_ProfileStore::damagedProfileReadsAsAbsent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff[mouse]\x00reportRate\x00=\x03", 26);
    QTest::newRow("truncated") << QByteArray("[mouse]\nreportRa");
    QTest::newRow("unterminated quote") << QByteArray("[mouse]\nlightValue=\"0, 1\n");
    QTest::newRow("list where a value belongs") << QByteArray("[mouse]\nreportRate=1, 2, 3\n");
}

void tst_ProfileStore::damagedProfileReadsAsAbsent()
{
    QFETCH(QByteArray, file);
    ModulesTree tree;
    QVERIFY(writeFile(tree.profile(0), file));
    QVERIFY(writeFile(tree.path("setting/pD.bin"), file));
    {
        ProfileStore store(tree.modules);
        for (bool recovery : {false, true}) {
            const QVariant rate = store.getData(ReportRate, recovery);
            // Whatever is made of it, it is not a usable report rate.
            bool isNumber = false;
            rate.toString().toInt(&isNumber);
            QVERIFY(!isNumber);
            QVERIFY(store.getDataList(QStringLiteral("mouse/lightValue"), recovery).size() != 2);
            QVERIFY(store.getDataList(QStringLiteral("mouseKeyMatrix/0"), recovery).isEmpty());
        }
    }
    QCOMPARE(readFile(tree.profile(0)), file);
}

void tst_ProfileStore::gunKeysDefaults()
{
    ModulesTree tree;
    ProfileStore store(tree.modules);
    QCOMPARE(store.getXYSensitive(QStringLiteral("1")), QVariant(4));
    QCOMPARE(store.getSelectGun(QStringLiteral("0")), QVariant(QString()));
    store.setXYSensitive(QStringLiteral("1"), 7);
    store.setSelectGun(QStringLiteral("0"), 3);
    QCOMPARE(store.getXYSensitive(QStringLiteral("1")), QVariant(QStringLiteral("7")));
    QCOMPARE(store.getSelectGun(QStringLiteral("0")), QVariant(QStringLiteral("3")));
    QCOMPARE(store.getData(QStringLiteral("XYSensitive/1"), false), QVariant(QStringLiteral("7")));
}

QTEST_GUILESS_MAIN(tst_ProfileStore)
#include "tst_profilestore.moc"
