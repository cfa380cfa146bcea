#include "DeviceDiscovery.h"
#include "HidBackend.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Enumeration only: answers by vid/pid with 0 as a wildcard, records what was asked.
class EnumeratingBackend : public HidBackend
{
public:
    QList<HidInterfaceInfo> interfaces;
    bool failing = false;
    QList<QPair<quint16, quint16>> asked;

    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vid, quint16 pid) override
    {
        asked.append({vid, pid});
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

HidInterfaceInfo iface(const char *path, quint16 vid, quint16 pid, quint16 page, quint16 usage)
{
    HidInterfaceInfo i;
    i.path = QString::fromLatin1(path);
    i.vendorId = vid;
    i.productId = pid;
    i.usagePage = page;
    i.usage = usage;
    return i;
}

DeviceEntry entry(quint16 vid, quint16 pid, quint16 page, quint16 usage, quint16 page2, quint16 usage2)
{
    DeviceEntry e;
    e.vid = vid;
    e.pid = pid;
    e.usagePage = page;
    e.usage = usage;
    e.usagePage2 = page2;
    e.usage2 = usage2;
    return e;
}

} // namespace

class tst_DeviceDiscovery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeConfig(const QByteArray &text)
    {
        const QString path = m_dir.filePath(QStringLiteral("apConfig.bin"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return path;
    }

private slots:
    void hex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "04d9" << 0x04d9;
        QTest::newRow("upper case") << "FF01" << 0xff01;
        QTest::newRow("low 16 bits kept") << "12345" << 0x2345;
        QTest::newRow("not a number") << "zz" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("0x prefix tolerated") << "0x10" << 0x10;
        QTest::newRow("surrounding blanks") << " a1ee " << 0xa1ee;
    }
    void hex()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int(DeviceDiscovery::parseHex16(text)), value);
    }

    void readsEveryKeyOfAGroup()
    {
        const QString path = writeConfig(
            "[common]\ndeviceCount=2\n"
            "[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff00\nusage=ff00\nusagePage2=ff01\nusage2=ff01\n"
            "reportLength=64\n"
            "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=1\nusagePage2=ff01\nusage2=2\n"
            "reportLength=32\nisEncode=true\nsCode=123456\n");
        const DeviceTable t = DeviceDiscovery::readDeviceTable(path);
        QCOMPARE(t.size(), 2);
        QCOMPARE(t[0].type, 0);
        QCOMPARE(t[0].pid, quint16(0x8008));
        QCOMPARE(t[0].reportLength, 64);
        QCOMPARE(t[0].isEncode, false);
        QCOMPARE(t[0].sCode, QStringLiteral("583014"));
        QCOMPARE(t[1].type, 1);
        QCOMPARE(t[1].usage, quint16(1));
        QCOMPARE(t[1].usage2, quint16(2));
        QCOMPARE(t[1].isEncode, true);
        QCOMPARE(t[1].sCode, QStringLiteral("123456"));
        QVERIFY(t[1].commandPath.isEmpty() && t[1].eventPath.isEmpty());
    }

    void defaultsAndMalformedValues()
    {
        const QString path = writeConfig("[common]\ndeviceCount=2\n[0]\nvid=nothex\n"
                                         "type=what\nreportLength=x\n");
        const DeviceTable t = DeviceDiscovery::readDeviceTable(path);
        QCOMPARE(t.size(), 2);
        QCOMPARE(t[0].type, 0);           // present but malformed
        QCOMPARE(t[1].type, -1);          // absent
        QCOMPARE(t[0].vid, quint16(0));
        QCOMPARE(t[0].reportLength, 0);
        QCOMPARE(t[1].reportLength, 32);
        QCOMPARE(t[1].sCode, QStringLiteral("583014"));
    }

    void booleanRule_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("value");
        QTest::newRow("true") << QByteArray("true") << true;
        QTest::newRow("FALSE any case") << QByteArray("FALSE") << false;
        QTest::newRow("zero") << QByteArray("0") << false;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("one") << QByteArray("1") << true;
        QTest::newRow("any other text") << QByteArray("yes") << true;
    }
    void booleanRule()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, value);
        const QString path = writeConfig("[common]\ndeviceCount=1\n[0]\nisEncode=" + text + "\n");
        QCOMPARE(DeviceDiscovery::readDeviceTable(path).value(0).isEncode, value);
    }

    void badFilesGiveBoundedTables_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("no count") << QByteArray("[0]\nvid=04d9\n") << 0;
        QTest::newRow("negative count") << QByteArray("[common]\ndeviceCount=-5\n") << 0;
        QTest::newRow("absurd count") << QByteArray("[common]\ndeviceCount=2147483647\n")
                                      << DeviceDiscovery::maxDeviceCount;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13[[[\n=\x01", 9) << 0;
    }
    void badFilesGiveBoundedTables()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        QCOMPARE(DeviceDiscovery::readDeviceTable(writeConfig(text)).size(), size);
    }

    void missingFileGivesEmptyTable()
    {
        QVERIFY(DeviceDiscovery::readDeviceTable(m_dir.filePath(QStringLiteral("nope.bin"))).isEmpty());
    }

    void lastMatchWinsAndOneInterfaceMayFillBoth()
    {
        EnumeratingBackend backend;
        backend.interfaces = {iface("a", 1, 2, 0xff00, 1), iface("b", 1, 2, 0xff00, 1),
                              iface("c", 1, 2, 0xff01, 2), iface("other", 9, 9, 0xff00, 1)};
        DeviceTable table = {entry(1, 2, 0xff00, 1, 0xff01, 2), entry(1, 2, 0xff00, 1, 0xff00, 1),
                             entry(9, 9, 0xff01, 2, 0xff01, 2)};
        table[0].commandPath = QStringLiteral("stale");
        DeviceDiscovery::locateInterfaces(backend, table);
        QCOMPARE(table[0].commandPath, QStringLiteral("b"));
        QCOMPARE(table[0].eventPath, QStringLiteral("c"));
        QCOMPARE(table[1].commandPath, QStringLiteral("b"));
        QCOMPARE(table[1].eventPath, QStringLiteral("b"));
        QVERIFY(table[2].commandPath.isEmpty());
        QVERIFY(table[2].eventPath.isEmpty());
        QCOMPARE(backend.asked.size(), 3);
    }

    void wildcardIdsMatchByUsageOnly()
    {
        EnumeratingBackend backend;
        backend.interfaces = {iface("x", 7, 8, 0xff00, 1), iface("y", 5, 6, 0xff02, 3)};
        DeviceTable table = {entry(0, 0, 0xff02, 3, 0xff09, 9)};
        DeviceDiscovery::locateInterfaces(backend, table);
        QCOMPARE(table[0].commandPath, QStringLiteral("y"));
        QVERIFY(table[0].eventPath.isEmpty());
    }

    void failedEnumerationLeavesPathsEmpty()
    {
        EnumeratingBackend backend;
        backend.failing = true;
        DeviceTable table = {entry(1, 2, 0xff00, 1, 0xff01, 2)};
        table[0].commandPath = QStringLiteral("old");
        table[0].eventPath = QStringLiteral("old");
        DeviceDiscovery::locateInterfaces(backend, table);
        QVERIFY(table[0].commandPath.isEmpty());
        QVERIFY(table[0].eventPath.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceDiscovery)
#include "tst_deviceDiscovery.moc"
