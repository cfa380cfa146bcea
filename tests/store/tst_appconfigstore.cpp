#include "AppConfigStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

namespace {

const QByteArray Factory = "[common]\nname=Factory Name\n\n[mouse]\nkeyCount=8\nicType=560\n";

} // namespace

class tst_AppConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void absentKeysReadAsInvalid();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void listIsOneCommaSeparatedValue();
    void modelFlags_data();
    void modelFlags();
    void resetRestoresFactoryAndDropsPendingChanges();
    void resetWithoutFactoryCopyKeepsConfiguration();
    void windowTitle_data();
    void windowTitle();
    void damagedFileReadsAsAbsent_data();
    void damagedFileReadsAsAbsent();
};

void tst_AppConfigStore::absentKeysReadAsInvalid()
{
    ModulesTree tree;
    {
        AppConfigStore missingFile(tree.modules);
        QVERIFY(!missingFile.getGlobalData(QStringLiteral("mouse/keyCount")).isValid());
    }
    QVERIFY(writeFile(tree.path("setting/apConfig.bin"), "[mouse]\nminDPI=200\n"));
    AppConfigStore store(tree.modules);
    QVERIFY(!store.getGlobalData(QStringLiteral("mouse/keyCount")).isValid());
    QCOMPARE(store.getGlobalData(QStringLiteral("mouse/minDPI")), QVariant(QStringLiteral("200")));
}

void tst_AppConfigStore::valuesRoundTrip_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("int") << QVariant(3) << QVariant(QStringLiteral("3"));
    QTest::newRow("bool") << QVariant(true) << QVariant(QStringLiteral("true"));
    QTest::newRow("text with comma") << QVariant(QStringLiteral("a, b")) << QVariant(QStringLiteral("a, b"));
    QTest::newRow("UTF-8 text") << QVariant(QStringLiteral("鼠标 Ä")) << QVariant(QStringLiteral("鼠标 Ä"));
    QTest::newRow("list") << QVariant(QVariantList{0, 1, 2}) << QVariant(QStringList{"0", "1", "2"});
}

// A value reads back the same in the session that wrote it, from disk, and in the next session.
void tst_AppConfigStore::valuesRoundTrip()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    ModulesTree tree;
    const QString key = QStringLiteral("mouse/value");
    {
        AppConfigStore store(tree.modules);
        store.setGlobalData(key, value);
        QCOMPARE(store.getGlobalData(key), expected);
    }
    QCOMPARE(diskValue(tree.path("setting/apConfig.bin"), key), expected);
    QCOMPARE(AppConfigStore(tree.modules).getGlobalData(key), expected);
}

void tst_AppConfigStore::listIsOneCommaSeparatedValue()
{
    ModulesTree tree;
    AppConfigStore(tree.modules).setGlobalData(QStringLiteral("mouse/selectGun"), QVariantList{0, 1, 2});
    QVERIFY(readFile(tree.path("setting/apConfig.bin")).contains("selectGun=0, 1, 2\n"));
}

void tst_AppConfigStore::modelFlags_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("isColorful");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<QString>("icType");
    QTest::addColumn<bool>("is55328");
    QTest::newRow("560 with everything")
        << QByteArray("[mouse]\nisColorful=true\nisGun=true\nicType=560\nis55328=true\n")
        << true << true << "560" << true;
    QTest::newRow("553 plain")
        << QByteArray("[mouse]\nisColorful=false\nisGun=0\nicType=553\nis55328=FALSE\n")
        << false << false << "553" << false;
    QTest::newRow("no file") << QByteArray() << false << false << "" << false;
}

void tst_AppConfigStore::modelFlags()
{
    QFETCH(QByteArray, file);
    ModulesTree tree;
    if (!file.isEmpty())
        QVERIFY(writeFile(tree.path("setting/apConfig.bin"), file));
    const ModelFlags flags = AppConfigStore(tree.modules).modelFlags();
    QTEST(flags.isColorful, "isColorful");
    QTEST(flags.isGun, "isGun");
    QTEST(flags.icType, "icType");
    QTEST(flags.is55328, "is55328");
}

void tst_AppConfigStore::resetRestoresFactoryAndDropsPendingChanges()
{
    ModulesTree tree;
    const QString config = tree.path("setting/apConfig.bin");
    QVERIFY(writeFile(config, "[mouse]\nkeyCount=6\nprofileNo=3\n"));
    QVERIFY(writeFile(tree.path("setting/apConfigD.bin"), Factory));
    {
        AppConfigStore store(tree.modules);
        store.setGlobalData(QStringLiteral("mouse/profileNo"), 5); // not yet written
        store.resetApconfig();
        QCOMPARE(store.getGlobalData(QStringLiteral("mouse/keyCount")), QVariant(QStringLiteral("8")));
        QVERIFY(!store.getGlobalData(QStringLiteral("mouse/profileNo")).isValid());
        QCOMPARE(readFile(config), Factory);
    }
    QCOMPARE(readFile(config), Factory); // nothing arrives later either
}

void tst_AppConfigStore::resetWithoutFactoryCopyKeepsConfiguration()
{
    ModulesTree tree;
    const QString config = tree.path("setting/apConfig.bin");
    QVERIFY(writeFile(config, "[mouse]\nkeyCount=6\n"));
    AppConfigStore store(tree.modules);
    store.resetApconfig();
    QVERIFY(QFile::exists(config));
    QCOMPARE(store.getGlobalData(QStringLiteral("mouse/keyCount")), QVariant(QStringLiteral("6")));
}

void tst_AppConfigStore::windowTitle_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("named") << QByteArray("[common]\nname=KESTREL ORBIT\n") << "KESTREL ORBIT";
    QTest::newRow("no name") << QByteArray("[common]\nurl=x\n") << "";
    QTest::newRow("no file") << QByteArray() << "";
}

void tst_AppConfigStore::windowTitle()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, title);
    ModulesTree tree;
    if (!file.isEmpty())
        QVERIFY(writeFile(tree.path("setting/apConfig.bin"), file));
    QCOMPARE(readWindowTitle(tree.modules), title);
}

void tst_AppConfigStore::damagedFileReadsAsAbsent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[\x01mouse]\x00=\x02\n\xc3\x28", 14);
    QTest::newRow("truncated section") << QByteArray("[mou");
    QTest::newRow("no key") << QByteArray("[mouse]\n=5\n==\n");
    QTest::newRow("list where a flag belongs") << QByteArray("[mouse]\nisGun=1, 2\nicType=5, 6, 0\n");
}

// Reading a damaged file neither crashes nor writes anything.
void tst_AppConfigStore::damagedFileReadsAsAbsent()
{
    QFETCH(QByteArray, file);
    ModulesTree tree;
    const QString config = tree.path("setting/apConfig.bin");
    QVERIFY(writeFile(config, file));
    {
        AppConfigStore store(tree.modules);
        QVERIFY(!store.getGlobalData(QStringLiteral("mouse/keyCount")).isValid());
        const ModelFlags flags = store.modelFlags();
        QVERIFY(!flags.is560());
        QVERIFY(!flags.is55328);
        QCOMPARE(readWindowTitle(tree.modules), QString());
    }
    QCOMPARE(readFile(config), file);
}

QTEST_GUILESS_MAIN(tst_AppConfigStore)
#include "tst_appconfigstore.moc"
