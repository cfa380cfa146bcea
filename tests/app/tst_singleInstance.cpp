// One program per installation: the key, the private folder of the lock and the socket, a later
// start handing over, another local user getting nothing, and the messages over the socket (the
// empty message keeps its meaning, a request is answered, anything malformed, truncated, oversized
// or of an unknown kind is refused with a logged reason and reaches nobody).
#include "CtlWire.h"
#include "LogCapture.h"
#include "SingleInstance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>

#include <sys/stat.h>
#include <unistd.h>

class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QString m_key;
    std::unique_ptr<SingleInstance> m_instance;
    QList<QByteArray> m_requests;
    std::unique_ptr<LogCapture> m_log;

    static QString probe() { return QStringLiteral(KO_PROBE_PATH); }

    void connectAndWrite(QLocalSocket &socket, const QByteArray &bytes)
    {
        socket.connectToServer(SingleInstance::socketPath(m_key));
        QVERIFY(socket.waitForConnected(5000));
        socket.write(bytes);
        QVERIFY(socket.waitForBytesWritten(5000));
    }

    static QString ask(const QString &key, int timeoutMs)
    {
        auto asked = QtConcurrent::run([=] {
            QString error;
            const auto reply = SingleInstance::request(key, "status", timeoutMs, 1024, &error);
            return reply ? QString::fromUtf8(*reply) : QStringLiteral("failed: ") + error;
        });
        QTest::qWaitFor([&] { return asked.isFinished(); }, timeoutMs + 5000);
        return asked.isFinished() ? asked.result() : QStringLiteral("no answer");
    }

private slots:
    void init()
    {
        m_key = QStringLiteral("ko-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        m_instance = std::make_unique<SingleInstance>(m_key);
        QVERIFY(!m_instance->isRunning());
        QVERIFY(!m_instance->isRunning()); // asking again keeps it the instance
        m_requests.clear();
        m_instance->setRequestHandler([this](const QByteArray &request, const SingleInstance::Reply &reply) {
            m_requests << request;
            reply("answer to " + request);
        });
        m_log = std::make_unique<LogCapture>();
    }
    void cleanup()
    {
        m_log.reset();
        m_instance.reset();
    }

    void keysDifferByExecutablePath()
    {
        QCOMPARE(SingleInstance::keyFor(QStringLiteral("/opt/a/kestrel-orbit")),
                 SingleInstance::keyFor(QStringLiteral("/opt/a//kestrel-orbit")));
        QVERIFY(SingleInstance::keyFor(QStringLiteral("/opt/a/kestrel-orbit"))
                != SingleInstance::keyFor(QStringLiteral("/opt/b/kestrel-orbit")));
    }

    // A later start (another process) hands over the empty message, which is no request, and ends.
    void aLaterStartHandsOver()
    {
        QSignalSpy spy(m_instance.get(), &SingleInstance::messageReceived);
        QProcess later;
        later.start(probe(), {m_key});
        QVERIFY(later.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 10000);
        QCOMPARE(later.exitCode(), 1);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString());
        QCOMPARE(m_requests.size(), 0);
        QVERIFY(m_log->warnings().isEmpty());
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("hangUp");
        QTest::addColumn<QString>("reason");
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n") << false << "malformed length";
        QTest::newRow("endless digits") << QByteArray("123456789") << false << "malformed length";
        QTest::newRow("no length") << QByteArray("\nhello") << false << "malformed length";
        QTest::newRow("negative length") << QByteArray("-5\nhello") << false << "malformed length";
        QTest::newRow("oversized") << QByteArray("70000\n") + QByteArray(100, 'x') << false
                                   << "too long \\(70000 bytes, at most 65536\\)";
        QTest::newRow("bytes after the message") << QByteArray("2\nabXY") << false << "bytes after the message";
        QTest::newRow("truncated") << QByteArray("10\nabc") << true << "truncated \\(6 bytes\\)";
        // A sender that stops half-way is cut off, not waited for.
        QTest::newRow("never ends") << QByteArray("10\nabc") << false << "not complete within";
    }
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hangUp);
        QFETCH(QString, reason);
        QSignalSpy started(m_instance.get(), &SingleInstance::messageReceived);
        QLocalSocket socket;
        connectAndWrite(socket, bytes);
        if (hangUp)
            socket.disconnectFromServer();
        const QRegularExpression logged(QStringLiteral("^single instance: refused a message: ") + reason);
        QTRY_VERIFY_WITH_TIMEOUT(!m_log->warnings().filter(logged).isEmpty(), SingleInstance::messageTimeoutMs + 5000);
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(m_log->warnings().size(), 1);
        QCOMPARE(started.count(), 0);
        QCOMPARE(m_requests.size(), 0);
    }

    // A request is answered by the running program; without a handler it is refused, and under
    // another key nobody runs.
    void requests()
    {
        QCOMPARE(SingleInstance::runningPid(m_key), qint64(::getpid()));
        QCOMPARE(ask(m_key, 10000), QStringLiteral("answer to status"));
        QCOMPARE(m_requests, QList<QByteArray>{"status"});
        m_instance->setRequestHandler({});
        QVERIFY(ask(m_key, 10000).contains(QLatin1String("refused")));
        QCOMPARE(m_log->warnings(), QStringList{"single instance: refused a message: requests are not taken here"});
        QCOMPARE(SingleInstance::runningPid(m_key + QLatin1String("-other")), qint64(0));
        QVERIFY(ask(m_key + QLatin1String("-other"), 200).contains(QLatin1String("cannot reach")));
    }

    // The tool's request inside the frame: only a request of this version, with a command line of
    // texts, within the bounds; a reply comes back whole.
    void requestMessages_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("reason"); // empty: accepted
        auto request = [](const QString &args) {
            return QStringLiteral(R"({"type":"ctl-request","version":1,"args":[%1]})").arg(args).toUtf8();
        };
        QTest::newRow("good") << request(R"("dpi","set","400")") << QString();
        QTest::newRow("not JSON") << QByteArray("dpi set 400") << "not a JSON object";
        QTest::newRow("an array") << QByteArray("[\"dpi\"]") << "not a JSON object";
        QTest::newRow("unknown kind") << QByteArray(R"({"type":"shutdown","version":1,"args":["dpi"]})")
                                      << "unknown message type 'shutdown'";
        QTest::newRow("newer version") << request(R"("dpi")").replace("1,", "2,") << "unsupported version 2";
        QTest::newRow("version as text") << request(R"("dpi")").replace("1,", "\"1\",") << "unsupported version 1";
        QTest::newRow("no command line") << QByteArray(R"({"type":"ctl-request","version":1})") << "no command line";
        QTest::newRow("a number in the line") << request(R"("dpi",400)") << "not text";
        QTest::newRow("too many words") << request(QStringList(CtlWire::maxRequestWords + 1, "\"400\"").join(','))
                                        << "no command line of 1 to 64 words";
        QTest::newRow("too long") << request('"' + QString(CtlWire::maxRequestBytes, 'x') + '"') << "too long";
    }
    void requestMessages()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, reason);
        QString why;
        const auto args = CtlWire::decodeRequest(message, &why);
        QCOMPARE(args.has_value(), reason.isEmpty());
        if (!args) {
            QVERIFY2(why.contains(reason), qPrintable(why));
            return;
        }
        QCOMPARE(*args, (QStringList{"dpi", "set", "400"}));
        const CtlOutput sent{3, QStringLiteral("out ü\n"), QStringLiteral("err\n")};
        const auto got = CtlWire::decodeReply(CtlWire::encodeReply(sent), &why);
        QVERIFY(got && !CtlWire::decodeReply(message, &why));
        QCOMPARE(QStringList({QString::number(got->exitCode), got->out, got->err}), QStringList({"3", sent.out, sent.err}));
    }

    // Which folder holds the lock and the socket: the runtime folder only when it is this user's
    // with mode 0700, else <temp>/kestrel-orbit-<uid>, made with mode 0700, or none at all.
    void privateFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // made with this mode ("link": a link to a good one)
        QTest::addColumn<QString>("fallback"); // mode of a folder already there; empty: none is
        QTest::addColumn<QString>("chosen");   // "runtime", "fallback" or "" (none)
        QTest::addColumn<QString>("reason");
        QTest::newRow("runtime folder") << "0700" << "" << "runtime" << "";
        QTest::newRow("runtime folder open to others") << "0755" << "" << "fallback" << "mode 0755, not 0700";
        QTest::newRow("runtime folder a link") << "link" << "" << "fallback" << "not a directory";
        QTest::newRow("no runtime folder") << "" << "" << "fallback" << "";
        QTest::newRow("fallback open to others") << "" << "0777" << "" << "mode 0777, not 0700";
        QTest::newRow("fallback kept from before") << "" << "0700" << "fallback" << "";
    }
    void privateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        QTemporaryDir tmp;
        const QString runtimeDir = tmp.filePath(QStringLiteral("run"));
        const QString fallbackDir = tmp.filePath(QStringLiteral("kestrel-orbit-%1").arg(::geteuid()));
        auto makeDir = [](const QString &path, const QString &mode) {
            const QByteArray p = QFile::encodeName(path);
            return ::mkdir(p.constData(), 0700) == 0 && ::chmod(p.constData(), mode.toUInt(nullptr, 8)) == 0;
        };
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        if (runtime == QLatin1String("link"))
            QVERIFY(makeDir(tmp.filePath(QStringLiteral("real")), "0700") && QFile::link(tmp.filePath("real"), runtimeDir));
        else if (!runtime.isEmpty())
            QVERIFY(makeDir(runtimeDir, runtime));
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
        if (!fallback.isEmpty())
            QVERIFY(makeDir(fallbackDir, fallback));
        QStringList refused;
        const QString dir = SingleInstance::privateDir(&refused);
        qputenv("TMPDIR", savedTmp);
        savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
        QCOMPARE(dir, chosen.isEmpty() ? QString() : chosen == QLatin1String("runtime") ? runtimeDir : fallbackDir);
        QVERIFY2(refused.join(QLatin1Char('\n')).contains(reason) && refused.isEmpty() == reason.isEmpty(),
                 qPrintable(refused.join(QLatin1Char('\n'))));
        struct stat st {};
        if (chosen == QLatin1String("fallback"))
            QVERIFY(::lstat(QFile::encodeName(fallbackDir).constData(), &st) == 0 && (st.st_mode & 07777) == 0700);
    }

    // Another local user squats where this user's program keeps, or would keep, its lock and
    // socket; run for real under two unprivileged ids (root itself would simply remove the
    // squatter's files). The program starts and hands over only to itself, the squatter gets no
    // connection and cannot reach the program, and root, not this user either, is refused by it.
    void anotherUserGetsNothing_data()
    {
        QTest::addColumn<QString>("runtime"); // the program's XDG_RUNTIME_DIR
        QTest::newRow("own runtime folder, squatted fallback") << "own";
        QTest::newRow("the squatter's runtime folder") << "squatter's";
        QTest::newRow("no runtime folder, squatted fallback") << "none";
    }
    void anotherUserGetsNothing()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to run the program and a squatter under two unprivileged ids with setpriv");
        QFETCH(QString, runtime);
        constexpr uint user = 61001, squatter = 61002;
        QTemporaryDir tmp; // the temporary folder both share, as /tmp
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 01777) == 0);
        const QString exe = tmp.filePath(QStringLiteral("probe"));
        QVERIFY(QFile::copy(probe(), exe));
        auto runtimeOf = [&](uint uid) {
            const QByteArray dir = QFile::encodeName(tmp.filePath(QStringLiteral("run-%1").arg(uid)));
            return ::mkdir(dir.constData(), 0700) == 0 && ::chown(dir.constData(), uid, uid) == 0 ? QFile::decodeName(dir) : QString();
        };
        const QString own = runtimeOf(user), theirs = runtimeOf(squatter);
        const QString programRuntime = runtime == QLatin1String("own") ? own : runtime == QLatin1String("none") ? QString() : theirs;
        auto start = [&](QProcess &p, uint uid, const QString &runtimeDir, const QStringList &args) {
            QProcessEnvironment env;
            env.insert(QStringLiteral("TMPDIR"), tmp.path());
            env.insert(QStringLiteral("HOME"), tmp.path());
            if (!runtimeDir.isEmpty())
                env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
            p.setProcessEnvironment(env);
            p.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(uid),
                                                           QStringLiteral("--clear-groups"), exe} + args);
        };
        QProcess squat, program, later, knock;
        QByteArray squatOut, programOut, programErr;
        start(squat, squatter, theirs,
              {"squat", runtime == QLatin1String("squatter's") ? theirs : tmp.filePath(QStringLiteral("kestrel-orbit-%1").arg(user)), m_key});
        QTRY_VERIFY_WITH_TIMEOUT((squatOut += squat.readAllStandardOutput()).contains("squatting\n"), 10000);
        start(program, user, programRuntime, {"serve", m_key});
        QTRY_VERIFY_WITH_TIMEOUT((programOut += program.readAllStandardOutput()).contains('\n'), 10000);
        QVERIFY(programOut.startsWith("serving "));
        const QString socket = QString::fromLocal8Bit(programOut.mid(8, programOut.indexOf('\n') - 8));
        QCOMPARE(socket.isEmpty(), runtime == QLatin1String("none"));

        // A later start hands over to the program, or, without a private folder, runs on its own.
        start(later, user, programRuntime, {m_key});
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), socket.isEmpty() ? 0 : 1);
        if (!socket.isEmpty()) {
            QTRY_VERIFY((programOut += program.readAllStandardOutput()).contains("message\n"));
            start(knock, squatter, theirs, {"connect", socket});
            QVERIFY(knock.waitForFinished(10000));
            QCOMPARE(knock.exitCode(), 3);
            QLocalSocket root;
            root.connectToServer(socket);
            QVERIFY(root.waitForConnected(5000));
            root.write("0\n");
            QTRY_VERIFY((programErr += program.readAllStandardError()).contains("refused a connection from a process of uid 0"));
            QTRY_COMPARE(root.state(), QLocalSocket::UnconnectedState);
        }
        programErr += program.readAllStandardError();
        QCOMPARE(programErr.contains(QByteArray("belongs to uid ") + QByteArray::number(squatter)), runtime != QLatin1String("own"));
        QCOMPARE((programOut + program.readAllStandardOutput()).count("message"), socket.isEmpty() ? 0 : 1);
        QVERIFY(!(squatOut + squat.readAllStandardOutput()).contains("connection"));
        for (QProcess *p : {&squat, &program}) {
            QCOMPARE(p->state(), QProcess::Running);
            p->kill();
            p->waitForFinished();
        }
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleInstance.moc"
