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

    void readsGroupsWithDefaultsAndMalformedValues()
    {
        const DeviceTable t = DeviceDiscovery::readDeviceTable(writeConfig(
            "[common]\ndeviceCount=3\n"
            "[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff00\nusage=1\nusagePage2=ff01\nusage2=2\n"
            "reportLength=64\nisEncode=true\nsCode=123456\n"
            "[1]\nvid=nothex\ntype=what\nreportLength=x\n"));
        QCOMPARE(t.size(), 3);
        QCOMPARE(t[0].type, 0);
        QCOMPARE(t[0].pid, quint16(0x8008));
        QCOMPARE(t[0].usage, quint16(1));
        QCOMPARE(t[0].usage2, quint16(2));
        QCOMPARE(t[0].reportLength, 64);
        QCOMPARE(t[0].sCode, QStringLiteral("123456"));
        QCOMPARE(t[1].type, 0); // present but malformed
        QCOMPARE(t[1].vid, quint16(0));
        QCOMPARE(t[1].reportLength, 0);
        QCOMPARE(t[2].type, -1); // the group is absent: every default
        QCOMPARE(t[2].reportLength, 32);
        QCOMPARE(t[2].sCode, QStringLiteral("583014"));
        QVERIFY(t[0].commandPath.isEmpty() && t[0].eventPath.isEmpty());
    }

    void tableSizeAndBooleanRule_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("isEncode");
        const QByteArray one = "[common]\ndeviceCount=1\n[0]\nisEncode=";
        QTest::newRow("true") << one + "true" << 1 << true;
        QTest::newRow("FALSE in any case") << one + "FALSE" << 1 << false;
        QTest::newRow("zero") << one + "0" << 1 << false;
        QTest::newRow("any other text") << one + "yes" << 1 << true;
        QTest::newRow("no count") << QByteArray("[0]\nvid=04d9\n") << 0 << false;
        QTest::newRow("negative count") << QByteArray("[common]\ndeviceCount=-5\n") << 0 << false;
        QTest::newRow("absurd count") << QByteArray("[common]\ndeviceCount=2147483647\n")
                                      << DeviceDiscovery::maxDeviceCount << false;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13[[[\n=\x01", 9) << 0 << false;
    }
    void tableSizeAndBooleanRule()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        QFETCH(bool, isEncode);
        const DeviceTable table = DeviceDiscovery::readDeviceTable(writeConfig(text));
        QCOMPARE(table.size(), size);
        QCOMPARE(table.value(0).isEncode, isEncode);
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
