#include "DeviceDiscovery.h"
#include "HidBackend.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Enumeration only: answers by vid/pid, 0 being a wildcard.
class EnumeratingBackend : public HidBackend
{
public:
    QList<HidInterfaceInfo> interfaces;
    bool failing = false;
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vid, quint16 pid) override
    {
        if (failing)
            return std::nullopt;
        QList<HidInterfaceInfo> out;
        for (const auto &i : interfaces)
            if ((vid == 0 || i.vendorId == vid) && (pid == 0 || i.productId == pid))
                out.append(i);
        return out;
    }
    std::unique_ptr<HidDeviceHandle> openPath(const QString &) override { return nullptr; }
};

// An entry as "type vid:pid usagePage/usage usagePage2/usage2 reportLength isEncode sCode".
QString describe(const DeviceEntry &e)
{
    auto hex = [](quint16 v, int width = 0) { return QStringLiteral("%1").arg(v, width, 16, QLatin1Char('0')); };
    return QStringLiteral("%1 %2:%3 %4/%5 %6/%7 %8 %9 %10")
        .arg(QString::number(e.type), hex(e.vid, 4), hex(e.pid, 4), hex(e.usagePage), hex(e.usage), hex(e.usagePage2),
             hex(e.usage2), QString::number(e.reportLength), e.isEncode ? "encoded" : "plain")
        .arg(e.sCode);
}

} // namespace

class tst_DeviceDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void hex()
    {
        const QList<std::pair<QString, int>> cases{{"04d9", 0x04d9}, {"12345", 0x2345}, {"zz", 0}, {" a1ee ", 0xa1ee}};
        for (const auto &[text, value] : cases)
            QCOMPARE(int(DeviceDiscovery::parseHex16(text)), value);
    }

    // The table's size and one of its entries (`entry` -1: none) as read from apConfig.bin.
    void readsTheTable_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("expected");
        const QByteArray three = "[common]\ndeviceCount=3\n"
                                 "[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff00\nusage=1\nusagePage2=ff01\n"
                                 "usage2=2\nreportLength=64\nisEncode=true\nsCode=123456\n"
                                 "[1]\nvid=nothex\ntype=what\nreportLength=x\n";
        QTest::newRow("every value") << three << 3 << 0 << "0 04d9:8008 ff00/1 ff01/2 64 encoded 123456";
        QTest::newRow("malformed values") << three << 3 << 1 << "0 0000:0000 0/0 0/0 0 plain 583014";
        QTest::newRow("absent group: defaults") << three << 3 << 2 << "-1 0000:0000 0/0 0/0 32 plain 583014";
        // isEncode: false only for "false" in any case and "0".
        const std::pair<const char *, const char *> encodings[]{
            {"true", "encoded"}, {"FALSE", "plain"}, {"0", "plain"}, {"yes", "encoded"}};
        for (const auto &[value, kind] : encodings)
            QTest::addRow("isEncode=%s", value)
                << "[common]\ndeviceCount=1\n[0]\ntype=1\nisEncode=" + QByteArray(value) << 1 << 0
                << QStringLiteral("1 0000:0000 0/0 0/0 32 %1 583014").arg(kind);
        QTest::newRow("no count") << QByteArray("[0]\nvid=04d9\n") << 0 << -1 << "";
        QTest::newRow("negative count") << QByteArray("[common]\ndeviceCount=-5\n") << 0 << -1 << "";
        QTest::newRow("absurd count") << QByteArray("[common]\ndeviceCount=2147483647\n")
                                      << DeviceDiscovery::maxDeviceCount << -1 << "";
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13[[[\n=\x01", 9) << 0 << -1 << "";
    }
    void readsTheTable()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        QFETCH(int, entry);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("apConfig.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        const DeviceTable table = DeviceDiscovery::readDeviceTable(file.fileName());
        QCOMPARE(table.size(), size);
        if (entry >= 0)
            QCOMPARE(describe(table.at(entry)), expected);
    }

    void lastMatchWinsAndOneInterfaceMayFillBoth()
    {
        EnumeratingBackend backend;
        backend.interfaces = {{"a", 1, 1, 0xff00, 1}, {"b", 1, 1, 0xff00, 1}, {"c", 1, 1, 0xff01, 2},
                              {"other", 9, 9, 0xff00, 1}};
        DeviceTable table{{0, 1, 1, 0xff00, 1, 0xff01, 2}, {0, 1, 1, 0xff00, 1, 0xff00, 1},
                          {0, 9, 9, 0xff01, 2, 0xff01, 2}};
        table[0].commandPath = QStringLiteral("stale");
        DeviceDiscovery::locateInterfaces(backend, table);
        QStringList paths;
        for (const DeviceEntry &e : table)
            paths << e.commandPath + e.eventPath;
        QCOMPARE(paths, (QStringList{"bc", "bb", ""}));
        backend.failing = true; // a failed enumeration leaves both paths empty
        DeviceDiscovery::locateInterfaces(backend, table);
        QCOMPARE(table[0].commandPath + table[0].eventPath, QString());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceDiscovery)
#include "tst_deviceDiscovery.moc"
