#include "NameListStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

class tst_NameList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void storeAndRead_data();
    void storeAndRead();
    void emptyListRemovesTheKey();
    void otherListsAreUntouched();
    void missingOrDamagedFileReadsEmpty_data();
    void missingOrDamagedFileReadsEmpty();
};

void tst_NameList::storeAndRead_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QVariantList>("read");
    QTest::addColumn<QByteArray>("line"); // as it stands in the file
    QTest::newRow("one macro gets the sentinel")
        << 0u << QStringList{"Macro_0"} << QVariantList{"Macro_0", "loaderbeacon"}
        << QByteArray("macroName=Macro_0, loaderbeacon\n");
    QTest::newRow("two names unchanged")
        << 2u << QStringList{"Standard0", "profile_11"} << QVariantList{"Standard0", "profile_11"}
        << QByteArray("profileName=Standard0, profile_11\n");
    QTest::newRow("user name equal to the sentinel is kept")
        << 1u << QStringList{"M416", "loaderbeacon", "AKM"}
        << QVariantList{"M416", "loaderbeacon", "AKM"} << QByteArray("gunName=M416, loaderbeacon, AKM\n");
    QTest::newRow("comma inside a name")
        << 3u << QStringList{"a,b", "c"} << QVariantList{"a,b", "c"}
        << QByteArray("selectGun=\"a,b\", c\n");
    QTest::newRow("UTF-8 names")
        << 0u << QStringList{QStringLiteral("宏一")} << QVariantList{QStringLiteral("宏一"), "loaderbeacon"}
        << QStringLiteral("macroName=宏一, loaderbeacon\n").toUtf8();
}

void tst_NameList::storeAndRead()
{
    QFETCH(uint, type);
    QFETCH(QStringList, names);
    QFETCH(QVariantList, read);
    QFETCH(QByteArray, line);
    ModulesTree tree;
    NameListStore store(tree.modules);
    QVERIFY(store.updataNameList(type, names));
    // Each call writes through: the file holds the list as soon as the call returns.
    QVERIFY(readFile(store.filePath()).contains(line));
    QCOMPARE(store.getNameList(type), read);
}

void tst_NameList::emptyListRemovesTheKey()
{
    ModulesTree tree;
    NameListStore store(tree.modules);
    store.updataNameList(2, {"Standard0", "profile_10"});
    QVERIFY(store.updataNameList(2, {}));
    QVERIFY(store.getNameList(2).isEmpty());
    QVERIFY(!readFile(store.filePath()).contains("profileName"));
}

void tst_NameList::otherListsAreUntouched()
{
    ModulesTree tree;
    NameListStore store(tree.modules);
    store.updataNameList(0, {"Macro_0", "Macro_1"});
    const QByteArray before = readFile(store.filePath());
    QVERIFY(store.updataNameList(7, {"x", "y"}));
    QVERIFY(store.getNameList(7).isEmpty());
    QVERIFY(store.getNameList(uint(-1)).isEmpty());
    QCOMPARE(readFile(store.filePath()), before);
    QVERIFY(store.getNameList(1).isEmpty());
}

void tst_NameList::missingOrDamagedFileReadsEmpty_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("single name without sentinel") << QByteArray("[macro]\nmacroName=Macro_0\n");
    QTest::newRow("binary") << QByteArray("\xff\xfe\x00[macro]\x00macroName=\x01\x02", 21);
}

// A single text where a list belongs is not a list (it is not split into characters).
void tst_NameList::missingOrDamagedFileReadsEmpty()
{
    QFETCH(QByteArray, file);
    ModulesTree tree;
    NameListStore store(tree.modules);
    if (!file.isEmpty())
        QVERIFY(writeFile(store.filePath(), file));
    for (uint type = 0; type < 4; ++type)
        QVERIFY(store.getNameList(type).isEmpty());
    QCOMPARE(readFile(store.filePath()), file);
}

QTEST_GUILESS_MAIN(tst_NameList)
#include "tst_namelist.moc"
