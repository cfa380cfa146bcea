#include "VirtualMouseConfig.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kShippedModel = QStringLiteral(KO_MODULES_SOURCE_DIR "/setting/demoMouse.ini");
const QString kShippedTable = QStringLiteral(KO_MODULES_SOURCE_DIR "/setting/apConfig.bin");

} // namespace

class TestVirtualMouseConfig : public QObject
{
    Q_OBJECT

private slots:
    void shippedDemoModel();
    void shippedDemoModelIsInDeviceTable();
    void load_data();
    void load();
};

void TestVirtualMouseConfig::shippedDemoModel()
{
    QString error;
    const auto config = loadVirtualMouseConfig(kShippedModel, &error);
    QVERIFY2(config, qPrintable(error));
    QCOMPARE(config->family, QStringLiteral("560"));
    QVERIFY(config->isGun);
    QVERIFY(config->isColorful);
    QCOMPARE(config->vid, quint16(0x04d9));
    QCOMPARE(config->pid, quint16(0xa1ee));
    QCOMPARE(config->usagePage, quint16(0xff00));
    QCOMPARE(config->usage, quint16(0xff00));
    QCOMPARE(config->usagePage2, quint16(0xff01));
    QCOMPARE(config->usage2, quint16(0xff01));
    QCOMPARE(config->reportLength, 32);
    QVERIFY(config->isEncode);
    QCOMPARE(config->sCode, QStringLiteral("583014"));
}

// The demo finds its mouse only through the shipped device table, so some group there must name it.
void TestVirtualMouseConfig::shippedDemoModelIsInDeviceTable()
{
    if (!QFile::exists(kShippedTable))
        QSKIP("no shipped device table yet");
    const auto config = loadVirtualMouseConfig(kShippedModel);
    QVERIFY(config);
    const DeviceEntry want = config->deviceEntry();
    QSettings table(kShippedTable, QSettings::IniFormat);
    const int count = table.value(QStringLiteral("common/deviceCount")).toInt();
    QStringList groups;
    for (int i = 0; i < count; ++i) {
        table.beginGroup(QString::number(i));
        auto hex = [&](const char *key) { return table.value(QLatin1String(key)).toString().toUInt(nullptr, 16); };
        const bool same = hex("vid") == want.vid && hex("pid") == want.pid && hex("usagePage") == want.usagePage
            && hex("usage") == want.usage && hex("usagePage2") == want.usagePage2 && hex("usage2") == want.usage2
            && table.value(QStringLiteral("reportLength"), 32).toInt() == want.reportLength
            && table.value(QStringLiteral("isEncode"), false).toBool() == want.isEncode
            && table.value(QStringLiteral("sCode"), QStringLiteral("583014")).toString() == want.sCode;
        if (same)
            groups.append(QString::number(i));
        table.endGroup();
    }
    QVERIFY2(!groups.isEmpty(), "no group of the shipped device table matches the demo's mouse");
}

void TestVirtualMouseConfig::load_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("error");        // empty: the file loads
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<quint16>("usagePage2");

    QTest::newRow("defaults") << QByteArray("[mouse]\n") << QString() << "553" << 32 << false << quint16(0xff01);
    QTest::newRow("553, 64, plain, one interface")
        << QByteArray("[mouse]\nfamily=553\nreportLength=64\nisEncode=false\nusagePage2=FF00\nusage2=ff00\n")
        << QString() << "553" << 64 << false << quint16(0xff00);
    QTest::newRow("flag written as 1") << QByteArray("[mouse]\nfamily=560\nisEncode=1\n") << QString() << "560" << 32
                                       << true << quint16(0xff01);
    QTest::newRow("unknown family") << QByteArray("[mouse]\nfamily=561\n") << "family" << "" << 0 << false
                                    << quint16(0);
    QTest::newRow("report length 48") << QByteArray("[mouse]\nreportLength=48\n") << "reportLength" << "" << 0
                                      << false << quint16(0);
    QTest::newRow("report length text") << QByteArray("[mouse]\nreportLength=big\n") << "reportLength" << "" << 0
                                        << false << quint16(0);
    QTest::newRow("short sCode") << QByteArray("[mouse]\nsCode=58301\n") << "sCode" << "" << 0 << false
                                 << quint16(0);
    QTest::newRow("vid not hex") << QByteArray("[mouse]\nvid=04g9\n") << "vid" << "" << 0 << false << quint16(0);
    QTest::newRow("usage above 16 bits") << QByteArray("[mouse]\nusage=1ff00\n") << "usage" << "" << 0 << false
                                         << quint16(0);
    QTest::newRow("missing file") << QByteArray() << "no model file" << "" << 0 << false << quint16(0);
}

void TestVirtualMouseConfig::load()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("model.ini"));
    if (!ini.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }

    QString why;
    const auto config = loadVirtualMouseConfig(path, &why);
    if (!error.isEmpty()) {
        QVERIFY(!config);
        QVERIFY2(why.contains(error), qPrintable(why));
        return;
    }
    QVERIFY2(config, qPrintable(why));
    QTEST(config->family, "family");
    QTEST(config->reportLength, "reportLength");
    QTEST(config->isEncode, "isEncode");
    QTEST(config->usagePage2, "usagePage2");
}

QTEST_GUILESS_MAIN(TestVirtualMouseConfig)
#include "tst_virtualmouseconfig.moc"
