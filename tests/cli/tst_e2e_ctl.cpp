// kestrel-orbit-ctl beside the real demo under Xvfb, as it is installed beside the program: while
// the demo runs, the tool hands its commands over and the demo's own virtual mouse takes them; the
// tool opens no mouse of its own. Messages that are not the tool's are refused by the demo. What the
// tool writes into the build's own data never reaches a fresh start.
#include "CtlRig.h"
#include "DemoDriver.h"
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out, err;
};

} // namespace

class tst_E2eCtl : public QObject
{
    Q_OBJECT

    DemoDriver m_demo;

    // The tool beside the demo, run as a user would run it.
    Run ctl(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(m_demo.scratchPath(QString()));
        p.start(m_demo.rootDir() + QStringLiteral("/kestrel-orbit-ctl"), args);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    static QList<int> bytes(const QJsonObject &memory, int block, int from, int count)
    {
        QList<int> out;
        const QJsonArray b = memory.value("profileBlocks").toArray().at(block).toArray();
        for (int i = from; i < from + count; ++i)
            out << b.at(i).toInt();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
        const QByteArray tool = QFile::encodeName(QStringLiteral(KO_BUNDLE_DIR "/kestrel-orbit-ctl"));
        const QByteArray beside = QFile::encodeName(m_demo.rootDir() + QStringLiteral("/kestrel-orbit-ctl"));
        QVERIFY(::link(tool.constData(), beside.constData()) == 0
                || QFile::copy(QFile::decodeName(tool), QFile::decodeName(beside)));
        QVERIFY(DemoDriver::pollUntil([this] { return !m_demo.memory().isEmpty(); }, 20000));
    }
    void cleanupTestCase() { m_demo.stop(); }

    void theDemoCarriesTheCommandOut()
    {
        const QJsonObject before = m_demo.memory();
        const int from = m_demo.traceCount();
        const Run r = ctl({"--virtual", "--trace", "dpi", "set", "--stages", "3", "500", "900", "1300"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        // The tool did not play a mouse of its own: it has no reports to trace.
        QVERIFY2(r.err.contains(QLatin1String("the running program has the virtual mouse")), qPrintable(r.err));
        const QJsonObject after = m_demo.waitForMemoryChange(before);
        QCOMPARE(bytes(after, 1, 84, 3), (QList<int>{4, 8, 12}));
        QCOMPARE(bytes(after, 1, 100, 1), QList<int>{7});
        QVERIFY(DemoDriver::pollUntil([&] { return m_demo.commands(from).contains(QLatin1String("0c 01")); }, 10000));
        QVERIFY(DemoDriver::pollUntil([this] {
            return m_demo.storedValue("setting/p1.bin", "mouse/currentDpiCount").toString() == QLatin1String("3");
        }, 10000));
        const Run status = ctl({"--virtual", "status"});
        QCOMPARE(status.exitCode, 0);
        QVERIFY2(status.out.contains(QLatin1String("dpi stages: 500 900 1300\n")), qPrintable(status.out));
    }

    void badInputReachesNothing()
    {
        const int from = m_demo.traceCount();
        const QJsonObject before = m_demo.memory();
        const Run r = ctl({"--virtual", "button", "17", "left"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QLatin1String("buttons are 1 to 8")));
        QCOMPARE(m_demo.commands(from), QStringList());
        QCOMPARE(m_demo.memory(), before);
    }

    void foreignMessagesAreRefused()
    {
        const QString key = SingleInstance::keyFor(m_demo.rootDir() + QStringLiteral("/kestrel-orbit-demo"));
        const int errors = m_demo.errorLines().size();
        const QByteArray foreign = R"({"type":"quit"})";
        for (const QByteArray &message : {QByteArray("junk\n"), QByteArray("99999999"),
                                          QByteArray::number(foreign.size()) + '\n' + foreign}) {
            QLocalSocket socket;
            socket.connectToServer(SingleInstance::socketPath(key));
            QVERIFY(socket.waitForConnected(5000));
            socket.write(message);
            QVERIFY(socket.waitForBytesWritten(5000));
            QVERIFY(DemoDriver::pollUntil([&] { return socket.state() == QLocalSocket::UnconnectedState; }, 10000));
        }
        QVERIFY(DemoDriver::pollUntil([&] { return m_demo.errorLines(errors).size() >= 3; }, 10000));
        const QStringList logged = m_demo.errorLines(errors);
        QCOMPARE(logged.filter(QStringLiteral("refused a message: malformed length")).size(), 2);
        QCOMPARE(logged.filter(QStringLiteral("ctl: refused a request: unknown message type")).size(), 1);
        QVERIFY(m_demo.isRunning());
    }

    // With no demo running, the tool's --virtual works on the build's writable data (bin/modules);
    // a fresh demo and a test rig still start on the shipped values. Last: it restarts the demo.
    void freshStartsKeepTheShippedValues()
    {
        const QString writable = QStringLiteral(KO_BUNDLE_DIR "/modules/setting/");
        QHash<QString, QByteArray> before; // the build's own data is put back afterwards
        for (const QString &name : QDir(writable).entryList(QDir::Files)) {
            QFile f(writable + name);
            if (f.open(QIODevice::ReadOnly))
                before.insert(f.fileName(), f.readAll());
        }
        const auto putBack = qScopeGuard([&] {
            for (auto it = before.cbegin(); it != before.cend(); ++it) {
                QFile f(it.key());
                if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    f.write(it.value());
            }
        });
        // A runtime folder of its own: no running demo (a developer's, say) takes the command.
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(KO_BUNDLE_DIR "/kestrel-orbit-ctl"), {"--virtual", "dpi", "set", "500", "1000", "1500", "3000"});
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        auto stages = [](const QVariant &stored) { return stored.toStringList().join(QLatin1Char(',')).remove(QLatin1Char(' ')); };
        const QString key = QStringLiteral("mouse/dpiValueArray");
        QVERIFY(stages(QSettings(writable + "p1.bin", QSettings::IniFormat).value(key)).startsWith("500,1000,1500,3000,"));

        const QString shipped = QStringLiteral("400,800,1600,3200,4800,6400,8000,12000");
        QVERIFY2(m_demo.start(), qPrintable(m_demo.error()));
        QCOMPARE(stages(m_demo.storedValue("setting/p1.bin", key)), shipped);
        CtlRig rig(Model{true, true, true, false, {}});
        QCOMPARE(stages(QSettings(rig.file("setting/p1.bin"), QSettings::IniFormat).value(key)), shipped);
    }
};

QTEST_MAIN(tst_E2eCtl)
#include "tst_e2e_ctl.moc"
