#include "AppConfigStore.h"
#include "GunDataStore.h"
#include "LanguageStore.h"
#include "MouseOps.h"
#include "NameListStore.h"
#include "ProfileStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

#include <optional>

using namespace StoreTest;

namespace {

// Whole numbers of a stored list; nothing when an entry is not a number or the size differs.
std::optional<QList<int>> numbers(const QVariantList &list, int size)
{
    if (list.size() != size)
        return std::nullopt;
    QList<int> out;
    for (const QVariant &v : list) {
        bool ok = false;
        out.append(v.toString().toInt(&ok));
        if (!ok)
            return std::nullopt;
    }
    return out;
}

std::optional<int> number(const QVariant &value)
{
    bool ok = false;
    const int n = value.toString().toInt(&ok);
    return ok && value.typeId() == QMetaType::QString ? std::optional<int>(n) : std::nullopt;
}

bool within(const std::optional<int> &n, int low, int high)
{
    return n && *n >= low && *n <= high;
}

struct SensorRange
{
    int maxDpi;
    int step; // the sensor's code resolution
};

const QMap<QString, SensorRange> Sensors{
    {"3360", {12000, 100}}, {"3050", {4000, 250}}, {"3389", {16000, 50}}, {"4090", {5000, 100}}};

} // namespace

// The data under modules/ read back through the stores as the program reads it. The tree is copied
// first, so that nothing can write into the sources.
class tst_ShippedData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void configurationAndFactoryCopyAreEqual();
    void deviceTable();
    void modelKeys();
    void profiles_data();
    void profiles();
    void keyMatricesAgree();
    void nameList();
    void guns();
    void languageFileOfTheConfiguredLanguage();

private:
    ModulesTree m_tree;
};

void tst_ShippedData::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    const QDir source(QStringLiteral(KO_MODULES_SOURCE_DIR));
    for (const QString &sub : {QStringLiteral("setting"), QStringLiteral("gun"), QStringLiteral("i18n")}) {
        const QStringList files = QDir(source.filePath(sub)).entryList(QDir::Files);
        for (const QString &f : files)
            QVERIFY(QFile::copy(source.filePath(sub + "/" + f), m_tree.path(sub + "/" + f)));
    }
    QVERIFY(QFileInfo(source.filePath(QStringLiteral("macro"))).isDir());
}

void tst_ShippedData::configurationAndFactoryCopyAreEqual()
{
    const QByteArray config = readFile(m_tree.path("setting/apConfig.bin"));
    QVERIFY(!config.isEmpty());
    QCOMPARE(readFile(m_tree.path("setting/apConfigD.bin")), config);
}

void tst_ShippedData::deviceTable()
{
    AppConfigStore store(m_tree.modules);
    QCOMPARE(store.getGlobalData(QStringLiteral("common/deviceCount")).toString(), QStringLiteral("2"));
    const QStringList keys{"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "reportLength"};
    const QStringList keyboard{"0", "04d9", "8008", "ff00", "ff00", "ff01", "ff01", "64"};
    const QStringList mouse{"1", "04d9", "a1ee", "ff00", "ff00", "ff01", "ff01", "32"};
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(store.getGlobalData("0/" + keys[i]).toString(), keyboard[i]);
        QCOMPARE(store.getGlobalData("1/" + keys[i]).toString(), mouse[i]);
    }
    QCOMPARE(store.getGlobalData(QStringLiteral("1/isEncode")).toString(), QStringLiteral("true"));
    QCOMPARE(store.getGlobalData(QStringLiteral("1/sCode")).toString(), QStringLiteral("583014"));
}

void tst_ShippedData::modelKeys()
{
    AppConfigStore store(m_tree.modules);
    const ModelFlags flags = store.modelFlags();
    QVERIFY(flags.is560());
    QVERIFY(flags.isColorful);
    QVERIFY(flags.isGun);
    QVERIFY(!flags.is55328);
    QCOMPARE(readWindowTitle(m_tree.modules), QStringLiteral("KESTREL ORBIT MOUSE K7"));
    QVERIFY(store.getGlobalData(QStringLiteral("common/url")).toString().startsWith("https://"));
    QVERIFY(within(number(store.getGlobalData(QStringLiteral("mouse/keyCount"))), 1, 8));
    QCOMPARE(number(store.getGlobalData(QStringLiteral("mouse/profileNo"))), std::optional<int>(0));
    QCOMPARE(numbers(store.getGlobalData(QStringLiteral("mouse/selectGun")).toList(), 3),
             std::optional<QList<int>>({0, 1, 2}));

    const QString sensor = store.getGlobalData(QStringLiteral("mouse/sensorType")).toString();
    QVERIFY2(Sensors.contains(sensor), qPrintable(sensor));
    const auto minDpi = number(store.getGlobalData(QStringLiteral("mouse/minDPI")));
    const auto maxDpi = number(store.getGlobalData(QStringLiteral("mouse/maxDPI")));
    const auto base = number(store.getGlobalData(QStringLiteral("mouse/dpiBase")));
    QVERIFY(minDpi && maxDpi && base);
    QVERIFY(*minDpi > 0 && *minDpi < *maxDpi && *maxDpi <= Sensors[sensor].maxDpi);
    QVERIFY(*base % Sensors[sensor].step == 0 || Sensors[sensor].step % *base == 0);
}

void tst_ShippedData::profiles_data()
{
    QTest::addColumn<int>("profile"); // -1: the factory profile
    QTest::newRow("pD") << -1;
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        QTest::newRow(qPrintable(QStringLiteral("p%1").arg(i + 1))) << i;
}

void tst_ShippedData::profiles()
{
    QFETCH(int, profile);
    const bool factory = profile < 0;
    if (!factory)
        QCOMPARE(readFile(m_tree.profile(profile)), readFile(m_tree.path("setting/pD.bin")));
    AppConfigStore config(m_tree.modules);
    const int minDpi = config.getGlobalData(QStringLiteral("mouse/minDPI")).toInt();
    const int maxDpi = config.getGlobalData(QStringLiteral("mouse/maxDPI")).toInt();
    const int base = config.getGlobalData(QStringLiteral("mouse/dpiBase")).toInt();
    ProfileStore store(m_tree.modules);
    store.setCurrentProfile(factory ? 0 : profile);
    auto value = [&](const char *key) { return number(store.getData(QLatin1String(key), factory)); };
    auto list = [&](const QString &key, int n) { return numbers(store.getDataList(key, factory), n); };

    const auto dpiCount = value("mouse/dpiCount");
    QVERIFY(within(dpiCount, 1, 8));
    QVERIFY(within(value("mouse/currentDpiCount"), 1, *dpiCount));
    const auto dpi = list(QStringLiteral("mouse/dpiValueArray"), 8);
    QVERIFY(dpi);
    for (int v : *dpi)
        QVERIFY2(v >= minDpi && v <= maxDpi && v % base == 0, qPrintable(QString::number(v)));
    QVERIFY(within(value("mouse/reportRate"), 0, 3));
    const auto light = list(QStringLiteral("mouse/lightValue"), 3);
    QVERIFY(light && within((*light)[0], 0, 11) && within((*light)[1], 0, 4) && within((*light)[2], 0, 4));
    const auto colours = list(QStringLiteral("mouse/colorValue"), 24);
    QVERIFY(colours);
    for (int c : *colours)
        QVERIFY(within(c, 0, 255));
    QVERIFY(within(value("mouse/mouseRate"), 3, 337));
    QVERIFY(within(value("mouse/doubleRate"), 3, 337));
    const auto lines = value("mouse/scrollRate");
    QVERIFY(within(lines, 1, 100) || lines == 1000);
    for (int k = 0; k < ProfileStore::KeyCount; ++k) {
        QVERIFY(list(QStringLiteral("mouseKeyMatrix/%1").arg(k), 4));
        QVERIFY(list(QStringLiteral("mouseFwKeyMatrix/%1").arg(k), 4));
    }
    for (const char *key : {"XYSensitive/0", "XYSensitive/1"})
        QVERIFY(within(value(key), 0, 255));
    for (const char *key : {"selectGun/0", "selectGun/1", "selectGun/2"})
        QVERIFY(within(value(key), 0, 5));
}

// The firmware matrix is the factory button matrix in the device encoding, and the factory button
// matrix is the one the button page shows before it has read anything.
void tst_ShippedData::keyMatricesAgree()
{
    const QList<QList<int>> builtIn{
        {0x00, 0x00, 0xF0, 0x00}, {0x00, 0x00, 0xF1, 0x00}, {0x00, 0x00, 0xF2, 0x00},
        {0x00, 0x00, 0xF4, 0x00}, {0x00, 0x00, 0xF3, 0x00}, {0x05, 0x00, 0x01, 0x00},
        {0x05, 0x00, 0x02, 0x00}, {0x00, 0xF0, 0x1E, 0x02}, {0, 0, 0, 0}, {0, 0, 0, 0},
        {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0},
        {0xFF, 0x00, 0x01, 0x00}, {0xFF, 0x00, 0x02, 0x00}};
    ProfileStore store(m_tree.modules);
    QVariantList ui;
    for (int k = 0; k < ProfileStore::KeyCount; ++k) {
        const QVariantList entry = store.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), true);
        QCOMPARE(numbers(entry, 4), std::optional<QList<int>>(builtIn[k]));
        ui += entry;
    }
    const MouseOps::KeyMatrix device = MouseOps::translateMatrix(ui, MouseOps::Family::F560);
    for (int k = 0; k < ProfileStore::KeyCount; ++k) {
        const auto fw = numbers(store.getDataList(QStringLiteral("mouseFwKeyMatrix/%1").arg(k), true), 4);
        QVERIFY(fw);
        for (int b = 0; b < 4; ++b)
            QCOMPARE((*fw)[b], int(device[4 * k + b]));
    }
}

void tst_ShippedData::nameList()
{
    NameListStore store(m_tree.modules);
    QCOMPARE(store.getNameList(2), QVariantList({"Standard0", "loaderbeacon"}));
    QVERIFY(store.getNameList(0).isEmpty());
}

void tst_ShippedData::guns()
{
    // In the order of the gun page's pictures.
    const QStringList names{"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};
    GunDataStore store(m_tree.modules);
    QCOMPARE(store.getGunDataKey(), QStringList({"0", "1", "2", "3", "4", "5"}));
    for (int i = 0; i < names.size(); ++i) {
        const QVariantList gun = store.getGunData(QString::number(i));
        QCOMPARE(gun.size(), 6);
        QCOMPARE(gun[0].toString(), names[i]);
        QCOMPARE(gun[1].toString(), QStringLiteral("L-Click"));
        const auto values = numbers(gun.mid(2), 4);
        QVERIFY(values);
        QVERIFY(within((*values)[0], 4, 90)); // period in ms
        QVERIFY(within((*values)[2], 0, 64)); // vertical pull
        QVERIFY(within((*values)[3], 0, 255)); // shots
    }
}

void tst_ShippedData::languageFileOfTheConfiguredLanguage()
{
    const QString code = AppConfigStore(m_tree.modules).getGlobalData(QStringLiteral("common/language")).toString();
    const QStringList other = LanguageStore(m_tree.modules).getLangStrings(QStringLiteral("other"), code);
    QVERIFY(other.size() >= LanguageStore::DpiNoticeCount);
    QCOMPARE(dpiNoticeText(1), other[0]);
}

QTEST_GUILESS_MAIN(tst_ShippedData)
#include "tst_shippeddata.moc"
