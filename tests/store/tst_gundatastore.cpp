#include "GunDataStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

namespace {

const QByteArray Guns = "[gunData]\n0=M416, L-Click, 9, 0, 5, 0\n1=AKM, L-Click, 9, 0, 7, 0\n";
const QVariantList Record{"SCAR-L", "L-Click", 10, 0, 6, 3};

} // namespace

class tst_GunDataStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void saveAndReadByPosition();
    void keysOfTheGroup();
    void modify_data();
    void modify();
    void missingFileIsNeverCreated();
    void damagedRecordsReadEmpty();
};

void tst_GunDataStore::saveAndReadByPosition()
{
    ModulesTree tree;
    GunDataStore store(tree.modules);
    QVERIFY(writeFile(store.filePath(), Guns));
    store.mouseSaveGundata(QStringLiteral("2"), Record + QVariantList{"ignored"});
    const QVariantList expected{"SCAR-L", "L-Click", "10", "0", "6", "3"};
    QCOMPARE(store.getGunData(QStringLiteral("2")), expected);
    QCOMPARE(diskValue(store.filePath(), QStringLiteral("gunData/2")).toStringList(),
             QStringList({"SCAR-L", "L-Click", "10", "0", "6", "3"}));
    QCOMPARE(store.getGunData(QStringLiteral("0")).value(0), QVariant(QStringLiteral("M416")));
    QVERIFY(store.getGunData(QStringLiteral("9")).isEmpty());
}

void tst_GunDataStore::keysOfTheGroup()
{
    ModulesTree tree;
    GunDataStore store(tree.modules);
    QVERIFY(writeFile(store.filePath(), Guns + "\n[other]\nx=1\n"));
    QCOMPARE(store.getGunDataKey(), QStringList({"0", "1"}));
}

void tst_GunDataStore::modify_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariantList>("src");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("remove by name") << 0 << QVariantList{"1"} << QStringList{"0"};
    QTest::newRow("rename")
        << 1 << QVariantList{"Vector", "L-Click", 8, 0, 4, 0, "1"} << QStringList{"0", "Vector"};
    QTest::newRow("other type") << 5 << QVariantList{"1", "a", "b", "c", "d", "e", "0"}
                                << QStringList{"0", "1"};
    QTest::newRow("empty name does not remove the group") << 0 << QVariantList{""} << QStringList{"0", "1"};
    QTest::newRow("rename too short") << 1 << QVariantList{"Vector", "L-Click"} << QStringList{"0", "1"};
    QTest::newRow("rename to no name") << 1 << QVariantList{"", "L-Click", 8, 0, 4, 0, "1"}
                                       << QStringList{"0", "1"};
}

void tst_GunDataStore::modify()
{
    QFETCH(int, type);
    QFETCH(QVariantList, src);
    QFETCH(QStringList, keys);
    ModulesTree tree;
    GunDataStore store(tree.modules);
    QVERIFY(writeFile(store.filePath(), Guns));
    store.modifyGundata(type, src);
    QCOMPARE(store.getGunDataKey(), keys);
    if (type == 1 && keys.contains(QStringLiteral("Vector")))
        QCOMPARE(store.getGunData(QStringLiteral("Vector")), QVariantList({"L-Click", "8", "0", "4", "0"}));
    if (keys == QStringList{"0", "1"})
        QCOMPARE(readFile(store.filePath()), Guns);
}

void tst_GunDataStore::missingFileIsNeverCreated()
{
    ModulesTree tree;
    GunDataStore store(tree.modules);
    store.mouseSaveGundata(QStringLiteral("2"), Record);
    store.modifyGundata(1, Record + QVariantList{"0"});
    store.modifyGundata(0, {"0"});
    QVERIFY(store.getGunData(QStringLiteral("2")).isEmpty());
    QVERIFY(store.getGunDataKey().isEmpty());
    QVERIFY(!QFile::exists(store.filePath()));
}

void tst_GunDataStore::damagedRecordsReadEmpty()
{
    ModulesTree tree;
    GunDataStore store(tree.modules);
    QVERIFY(writeFile(store.filePath(), "[gunData]\n0=M416\n1=\n\xff\xfe\n"));
    QVERIFY(store.getGunData(QStringLiteral("0")).isEmpty()); // one text, not a record
    QVERIFY(store.getGunData(QStringLiteral("1")).isEmpty());
    store.mouseSaveGundata(QStringLiteral("0"), {"short", "record"});
    QVERIFY(store.getGunData(QStringLiteral("0")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_GunDataStore)
#include "tst_gundatastore.moc"
