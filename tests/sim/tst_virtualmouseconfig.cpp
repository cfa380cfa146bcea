#include "VirtualMouseConfig.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestVirtualMouseConfig : public QObject
{
    Q_OBJECT

private slots:
    // The demo finds its mouse only through the shipped device table, so some group there must name
    // the shipped model as it loads.
    void shippedDemoModelIsInDeviceTable()
    {
        QString error;
        const auto config = loadVirtualMouseConfig(KO_MODULES_SOURCE_DIR "/setting/demoMouse.ini", &error);
        QVERIFY2(config, qPrintable(error));
        QCOMPARE(config->family, QStringLiteral("560"));
        if (!QFile::exists(KO_MODULES_SOURCE_DIR "/setting/apConfig.bin"))
            QSKIP("no shipped device table yet");
        const DeviceEntry e = config->deviceEntry();
        const auto want = std::tuple(e.vid, e.pid, e.usagePage, e.usage, e.usagePage2, e.usage2, e.reportLength,
                                     e.isEncode, e.sCode);
        QSettings table(KO_MODULES_SOURCE_DIR "/setting/apConfig.bin", QSettings::IniFormat);
        bool found = false;
        for (int i = 0; i < table.value("common/deviceCount").toInt(); ++i) {
            table.beginGroup(QString::number(i));
            auto hex = [&](const char *key) { return quint16(table.value(key).toString().toUInt(nullptr, 16)); };
            found = found
                || std::tuple(hex("vid"), hex("pid"), hex("usagePage"), hex("usage"), hex("usagePage2"), hex("usage2"),
                              table.value("reportLength", 32).toInt(), table.value("isEncode", false).toBool(),
                              table.value("sCode", "583014").toString())
                    == want;
            table.endGroup();
        }
        QVERIFY2(found, "no group of the shipped device table matches the demo's mouse");
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("ini");
        // What loaded ("family reportLength isEncode usagePage2") or the word the refusal names.
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << QByteArray("[mouse]\n") << "553 32 0 ff01";
        QTest::newRow("hex ids, one interface")
            << QByteArray("[mouse]\nfamily=553\nreportLength=64\nisEncode=false\nusagePage2=FF00\nusage2=ff00\n")
            << "553 64 0 ff00";
        QTest::newRow("flag written as 1") << QByteArray("[mouse]\nfamily=560\nisEncode=1\n") << "560 32 1 ff01";
        QTest::newRow("unknown family") << QByteArray("[mouse]\nfamily=561\n") << "family";
        QTest::newRow("report length 48") << QByteArray("[mouse]\nreportLength=48\n") << "reportLength";
        QTest::newRow("report length text") << QByteArray("[mouse]\nreportLength=big\n") << "reportLength";
        QTest::newRow("short sCode") << QByteArray("[mouse]\nsCode=58301\n") << "sCode";
        QTest::newRow("vid not hex") << QByteArray("[mouse]\nvid=04g9\n") << "vid";
        QTest::newRow("usage above 16 bits") << QByteArray("[mouse]\nusage=1ff00\n") << "usage";
        QTest::newRow("missing file") << QByteArray() << "no model file";
    }
    void load()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("model.ini"));
        QFile file(path);
        QVERIFY(ini.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size()));
        file.close();
        QString why;
        const auto config = loadVirtualMouseConfig(path, &why);
        if (!config)
            QVERIFY2(why.contains(expected), qPrintable(why));
        else
            QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(config->family, QString::number(config->reportLength),
                         QString::number(config->isEncode), QString::number(config->usagePage2, 16)), expected);
    }
};

QTEST_GUILESS_MAIN(TestVirtualMouseConfig)
#include "tst_virtualmouseconfig.moc"
