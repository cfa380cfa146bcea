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

HidInterfaceInfo iface(const char *path, quint16 id, quint16 page, quint16 usage)
{
    return {QString::fromLatin1(path), id, id, page, usage};
}

DeviceEntry entry(quint16 id, quint16 page, quint16 usage, quint16 page2, quint16 usage2)
{
    DeviceEntry e;
    e.vid = e.pid = id;
    e.usagePage = page;
    e.usage = usage;
    e.usagePage2 = page2;
    e.usage2 = usage2;
    return e;
}

// An entry as "type vid:pid usagePage/usage usagePage2/usage2 reportLength isEncode sCode paths".
QString describe(const DeviceEntry &e)
{
    return QStringLiteral("%1 %2:%3 %4/%5 %6/%7 %8 %9 %10 %11")
        .arg(e.type)
        .arg(e.vid, 4, 16, QLatin1Char('0'))
        .arg(e.pid, 4, 16, QLatin1Char('0'))
        .arg(e.usagePage, 0, 16)
        .arg(e.usage, 0, 16)
        .arg(e.usagePage2, 0, 16)
        .arg(e.usage2, 0, 16)
        .arg(e.reportLength)
        .arg(e.isEncode ? "encoded" : "plain", e.sCode, e.commandPath + e.eventPath);
}

} // namespace

class tst_DeviceDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void hex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "04d9" << 0x04d9;
        QTest::newRow("low 16 bits kept") << "12345" << 0x2345;
        QTest::newRow("not a number") << "zz" << 0;
        QTest::newRow("blanks around") << " a1ee " << 0xa1ee;
    }
    void hex()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
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
        QTest::newRow("every value") << three << 3 << 0 << "0 04d9:8008 ff00/1 ff01/2 64 encoded 123456 ";
        QTest::newRow("malformed values") << three << 3 << 1 << "0 0000:0000 0/0 0/0 0 plain 583014 ";
        QTest::newRow("absent group: defaults") << three << 3 << 2 << "-1 0000:0000 0/0 0/0 32 plain 583014 ";
        const QByteArray one = "[common]\ndeviceCount=1\n[0]\ntype=1\nisEncode=";
        QTest::newRow("true") << one + "true" << 1 << 0 << "1 0000:0000 0/0 0/0 32 encoded 583014 ";
        QTest::newRow("FALSE in any case") << one + "FALSE" << 1 << 0 << "1 0000:0000 0/0 0/0 32 plain 583014 ";
        QTest::newRow("zero") << one + "0" << 1 << 0 << "1 0000:0000 0/0 0/0 32 plain 583014 ";
        QTest::newRow("any other text") << one + "yes" << 1 << 0 << "1 0000:0000 0/0 0/0 32 encoded 583014 ";
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
        backend.interfaces = {iface("a", 1, 0xff00, 1), iface("b", 1, 0xff00, 1),
                              iface("c", 1, 0xff01, 2), iface("other", 9, 0xff00, 1)};
        DeviceTable table = {entry(1, 0xff00, 1, 0xff01, 2), entry(1, 0xff00, 1, 0xff00, 1),
                             entry(9, 0xff01, 2, 0xff01, 2)};
        table[0].commandPath = QStringLiteral("stale");
        DeviceDiscovery::locateInterfaces(backend, table);
        QCOMPARE(table[0].commandPath + table[0].eventPath, QStringLiteral("bc"));
        QCOMPARE(table[1].commandPath + table[1].eventPath, QStringLiteral("bb"));
        QCOMPARE(table[2].commandPath + table[2].eventPath, QString());

        backend.failing = true; // a failed enumeration leaves both paths empty
        DeviceDiscovery::locateInterfaces(backend, table);
        QCOMPARE(table[0].commandPath + table[0].eventPath, QString());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceDiscovery)
#include "tst_deviceDiscovery.moc"
