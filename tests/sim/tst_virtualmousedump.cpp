// The virtual mouse's memory as JSON and the file that the demo keeps of it.
#include "VirtualMouse.h"
#include "VirtualMouseDump.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QByteArray fromJson(const QJsonValue &value)
{
    QByteArray out;
    for (const QJsonValue &v : value.toArray())
        out.append(char(v.toInt(-1)));
    return out;
}

} // namespace

class tst_VirtualMouseDump : public QObject
{
    Q_OBJECT

private slots:
    void everyFieldKeepsItsBytes_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("553") << QStringLiteral("553");
        QTest::newRow("560") << QStringLiteral("560");
    }

    // Bytes above 0x7f must come out as 128 … 255, not negative, and lists keep their order.
    void everyFieldKeepsItsBytes()
    {
        QFETCH(QString, family);
        VirtualMouseConfig config;
        config.family = family;
        VirtualMouseMemory m = VirtualMouseMemory::initial(config);
        m.currentDpiStage = 7;
        m.macros[3] = QByteArray(128, char(0xfe));
        m.gunSlots[1] = QByteArray::fromHex("ff8001");
        m.normalise(config);

        const QJsonObject json = memoryToJson(m);
        QCOMPARE(json.value(QLatin1String("currentDpiStage")).toInt(), 7);
        QCOMPARE(fromJson(json.value(QLatin1String("keyboardOption"))), m.keyboardOption);
        QCOMPARE(fromJson(json.value(QLatin1String("dpiStageCodes"))), m.dpiStageCodes);
        QCOMPARE(fromJson(json.value(QLatin1String("ledColors"))), m.ledColors);
        const QJsonArray blocks = json.value(QLatin1String("profileBlocks")).toArray();
        QCOMPARE(blocks.size(), m.profileBlocks.size());
        for (int i = 0; i < blocks.size(); ++i)
            QCOMPARE(fromJson(blocks[i]), m.profileBlocks[i]);
        const QJsonArray matrices = json.value(QLatin1String("keyMatrices")).toArray();
        QCOMPARE(matrices.size(), 4);
        QCOMPARE(fromJson(matrices[3]), m.keyMatrices[3]);
        QCOMPARE(fromJson(json.value(QLatin1String("gunSlots")).toArray()[1]), QByteArray::fromHex("ff8001"));
        const QJsonObject macros = json.value(QLatin1String("macros")).toObject();
        QCOMPARE(macros.keys(), QStringList{QStringLiteral("3")});
        QCOMPARE(fromJson(macros.value(QLatin1String("3"))), QByteArray(128, char(0xfe)));
    }

    // The file follows the memory, also when reports are noted from the listener's thread, and is
    // only rewritten when the memory changed.
    void fileFollowsTheMemory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("memory.json"));
        VirtualMouseConfig config;
        config.family = QStringLiteral("560");
        VirtualMouse mouse(config);
        VirtualMouseMemoryFile file(mouse, path);
        QCOMPARE(readJson(path), memoryToJson(mouse.memory()));

        QVERIFY(mouse.pressDpiButton(5));
        QThread *noter = QThread::create([&file] {
            for (int i = 0; i < 1000; ++i)
                file.noteReport();
        });
        noter->start();
        QVERIFY(noter->wait(10000));
        delete noter;
        QTRY_COMPARE(readJson(path).value(QLatin1String("currentDpiStage")).toInt(), 5);
        QCOMPARE(readJson(path), memoryToJson(mouse.memory()));

        QVERIFY(QFile::remove(path));
        QVERIFY(file.update());
        QVERIFY(!QFile::exists(path));
        QVERIFY(mouse.pressDpiButton(1));
        file.noteReport();
        QTRY_VERIFY(QFile::exists(path));
        QCOMPARE(readJson(path).value(QLatin1String("currentDpiStage")).toInt(), 1);
    }

    void unwritableFileIsReportedAndLeavesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/memory.json"));
        VirtualMouse mouse{VirtualMouseConfig()};
        VirtualMouseMemoryFile file(mouse, path);
        QVERIFY(!file.update());
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(tst_VirtualMouseDump)
#include "tst_virtualmousedump.moc"
