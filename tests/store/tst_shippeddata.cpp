#include "AppConfigStore.h"
#include "GunDataStore.h"
#include "LanguageStore.h"
#include "MouseOps.h"
#include "NameListStore.h"
#include "ProfileStore.h"
#include "StoreTestSupport.h"

#include <QtTest>

using namespace StoreTest;

namespace {

// The whole numbers of a stored list, each within low..high; empty when any is not, or the size differs.
QList<int> numbers(const QVariant &value, int size, int low, int high)
{
    QList<int> out;
    const QStringList texts = value.typeId() == QMetaType::QString ? QStringList{value.toString()} : value.toStringList();
    for (const QString &t : texts) {
        bool ok = false;
        const int n = t.toInt(&ok);
        if (!ok || n < low || n > high)
            return {};
        out.append(n);
    }
    return out.size() == size ? out : QList<int>{};
}

bool inRange(const QVariant &value, int low, int high) { return numbers(value, 1, low, high).size() == 1; }

} // namespace

// The data under modules/ as the program reads it, from a copy so that nothing writes the sources.
class tst_ShippedData : public QObject
{
    Q_OBJECT
    ModulesTree m_tree;

private slots:
    void initTestCase()
    {
        const QDir source(QStringLiteral(KO_MODULES_SOURCE_DIR));
        for (const QString sub : {"setting", "gun", "i18n"})
            for (const QString &f : QDir(source.filePath(sub)).entryList(QDir::Files))
                QVERIFY(writeFile(m_tree.path(sub + "/" + f), readFile(source.filePath(sub + "/" + f))));
        QVERIFY(QFileInfo(source.filePath(QStringLiteral("macro"))).isDir());
    }

    void configuration()
    {
        QCOMPARE(readFile(m_tree.path("setting/apConfigD.bin")), readFile(m_tree.path("setting/apConfig.bin")));
        AppConfigStore store(m_tree.modules);
        const QStringList keys{"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "reportLength"};
        const QStringList groups[2] = {{"0", "04d9", "8008", "ff00", "ff00", "ff01", "ff01", "64"},
                                       {"1", "04d9", "a1ee", "ff00", "ff00", "ff01", "ff01", "32"}};
        QCOMPARE(store.getGlobalData(QStringLiteral("common/deviceCount")), QVariant("2"));
        for (int g = 0; g < 2; ++g)
            for (int i = 0; i < keys.size(); ++i)
                QCOMPARE(store.getGlobalData(QString::number(g) + "/" + keys[i]), QVariant(groups[g][i]));
        QCOMPARE(store.getGlobalData(QStringLiteral("1/isEncode")), QVariant("true"));
        QCOMPARE(store.getGlobalData(QStringLiteral("1/sCode")), QVariant("583014"));

        const ModelFlags flags = store.modelFlags();
        QVERIFY(flags.is560() && flags.isColorful && flags.isGun && !flags.is55328);
        QCOMPARE(readWindowTitle(m_tree.modules), QStringLiteral("KESTREL ORBIT MOUSE K7"));
        QVERIFY(inRange(store.getGlobalData(QStringLiteral("mouse/keyCount")), 1, 8));
        QCOMPARE(numbers(store.getGlobalData(QStringLiteral("mouse/selectGun")), 3, 0, 5), QList<int>({0, 1, 2}));
        // The DPI range suits the sensor's stage codes.
        const QMap<QString, int> maxDpi{{"3360", 12000}, {"3050", 4000}, {"3389", 16000}, {"4090", 5000}};
        const QString sensor = store.getGlobalData(QStringLiteral("mouse/sensorType")).toString();
        QVERIFY(maxDpi.contains(sensor));
        const int low = store.getGlobalData(QStringLiteral("mouse/minDPI")).toInt();
        QVERIFY(low > 0 && inRange(store.getGlobalData(QStringLiteral("mouse/maxDPI")), low + 1, maxDpi[sensor]));
        QVERIFY(inRange(store.getGlobalData(QStringLiteral("mouse/dpiBase")), 1, low));
    }

    void profiles_data()
    {
        QTest::addColumn<int>("profile"); // -1: the factory profile
        for (int i = -1; i < ProfileStore::ProfileCount; ++i)
            QTest::newRow(i < 0 ? "pD" : qPrintable(QStringLiteral("p%1").arg(i + 1))) << i;
    }
    void profiles()
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
        auto get = [&](const QString &key) { return store.getData(key, factory); };

        QVERIFY(inRange(get("mouse/dpiCount"), 1, 8));
        QVERIFY(inRange(get("mouse/currentDpiCount"), 1, get("mouse/dpiCount").toInt()));
        const QList<int> dpi = numbers(get("mouse/dpiValueArray"), 8, minDpi, maxDpi);
        QCOMPARE(dpi.size(), 8);
        for (int v : dpi)
            QCOMPARE(v % base, 0); // the DPI page shows it unchanged
        QVERIFY(inRange(get("mouse/reportRate"), 0, 3));
        const QList<int> light = numbers(get("mouse/lightValue"), 3, 0, 11);
        QVERIFY(light.size() == 3 && light[1] <= 4 && light[2] <= 4);
        QCOMPARE(numbers(get("mouse/colorValue"), 24, 0, 255).size(), 24);
        QVERIFY(inRange(get("mouse/mouseRate"), 3, 337) && inRange(get("mouse/doubleRate"), 3, 337));
        QVERIFY(inRange(get("mouse/scrollRate"), 1, 100) || get("mouse/scrollRate") == QVariant("1000"));
        QVERIFY(inRange(get("XYSensitive/0"), 0, 255) && inRange(get("XYSensitive/1"), 0, 255));
        for (int slot = 0; slot < 3; ++slot)
            QVERIFY(inRange(get(QStringLiteral("selectGun/%1").arg(slot)), 0, 5));

        // The button page's built-in matrix, and the same matrix in device encoding as the firmware's.
        const QList<QList<int>> builtIn{{0, 0, 0xF0, 0}, {0, 0, 0xF1, 0}, {0, 0, 0xF2, 0}, {0, 0, 0xF4, 0},
            {0, 0, 0xF3, 0}, {5, 0, 1, 0}, {5, 0, 2, 0}, {0, 0xF0, 0x1E, 2}, {0, 0, 0, 0}, {0, 0, 0, 0},
            {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0xFF, 0, 1, 0}, {0xFF, 0, 2, 0}};
        QVariantList ui;
        for (int k = 0; k < ProfileStore::KeyCount; ++k) {
            QCOMPARE(numbers(get(QStringLiteral("mouseKeyMatrix/%1").arg(k)), 4, 0, 255), builtIn[k]);
            ui += store.getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), factory);
        }
        const MouseOps::KeyMatrix device = MouseOps::translateMatrix(ui, MouseOps::Family::F560);
        for (int k = 0; k < ProfileStore::KeyCount; ++k) {
            const QList<int> fw = numbers(get(QStringLiteral("mouseFwKeyMatrix/%1").arg(k)), 4, 0, 255);
            QCOMPARE(fw, QList<int>({device[4 * k], device[4 * k + 1], device[4 * k + 2], device[4 * k + 3]}));
        }
    }

    void namesGunsAndTexts()
    {
        QCOMPARE(NameListStore(m_tree.modules).getNameList(2), QVariantList({"Standard0", "loaderbeacon"}));
        // In the order of the gun page's pictures.
        const QStringList names{"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};
        GunDataStore guns(m_tree.modules);
        QCOMPARE(guns.getGunDataKey(), QStringList({"0", "1", "2", "3", "4", "5"}));
        for (int i = 0; i < names.size(); ++i) {
            const QVariantList gun = guns.getGunData(QString::number(i));
            QCOMPARE(gun.mid(0, 2), QVariantList({names[i], "L-Click"}));
            QVERIFY(inRange(gun.value(2), 4, 90) && inRange(gun.value(4), 0, 64)); // period, vertical pull
            QVERIFY(inRange(gun.value(3), 0, 255) && inRange(gun.value(5), 0, 255));
        }
        const QString code = AppConfigStore(m_tree.modules).getGlobalData(QStringLiteral("common/language")).toString();
        const QStringList other = LanguageStore(m_tree.modules).getLangStrings(QStringLiteral("other"), code);
        QVERIFY(other.size() >= LanguageStore::DpiNoticeCount);
        QCOMPARE(dpiNoticeText(1), other[0]);
    }
};

QTEST_GUILESS_MAIN(tst_ShippedData)
#include "tst_shippeddata.moc"
