// The messages over the single-instance socket: the empty message keeps its meaning, a request is
// answered, and anything malformed, truncated, oversized or of an unknown kind is refused with a
// logged reason and reaches nobody.
#include "CtlWire.h"
#include "SingleInstance.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <QtConcurrent>

#include <unistd.h>

namespace {

// The warnings logged while a test runs.
QStringList &warnings()
{
    static QStringList lines;
    return lines;
}

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings() << message;
}

} // namespace

class tst_CtlSocket : public QObject
{
    Q_OBJECT

    QString m_key;
    std::unique_ptr<SingleInstance> m_instance;
    QList<QByteArray> m_requests;
    QtMessageHandler m_previous = nullptr;

private slots:
    void init()
    {
        m_key = QStringLiteral("ko-ctl-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        m_instance = std::make_unique<SingleInstance>(m_key);
        QVERIFY(!m_instance->isRunning());
        m_requests.clear();
        m_instance->setRequestHandler([this](const QByteArray &request, const SingleInstance::Reply &reply) {
            m_requests << request;
            reply("answer to " + request);
        });
        warnings().clear();
        m_previous = qInstallMessageHandler(captureWarnings);
    }
    void cleanup()
    {
        qInstallMessageHandler(m_previous);
        m_instance.reset();
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
    }
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hangUp);
        QFETCH(QString, reason);
        QSignalSpy started(m_instance.get(), &SingleInstance::messageReceived);
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::socketPath(m_key));
        QVERIFY(socket.waitForConnected(5000));
        socket.write(bytes);
        QVERIFY(socket.waitForBytesWritten(5000));
        if (hangUp)
            socket.disconnectFromServer();
        const QRegularExpression logged(QStringLiteral("^single instance: refused a message: ") + reason);
        QTRY_VERIFY(!warnings().filter(logged).isEmpty());
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(warnings().size(), 1);
        QCOMPARE(started.count(), 0);
        QCOMPARE(m_requests.size(), 0);
    }

    // A sender that stops half-way is cut off, not waited for.
    void aMessageThatNeverEndsIsCutOff()
    {
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::socketPath(m_key));
        QVERIFY(socket.waitForConnected(5000));
        socket.write("10\nabc");
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, SingleInstance::messageTimeoutMs + 5000);
        QCOMPARE(warnings().filter(QStringLiteral("not complete within")).size(), 1);
        QCOMPARE(m_requests.size(), 0);
    }

    void theEmptyMessageStillMeansALaterStart()
    {
        QSignalSpy started(m_instance.get(), &SingleInstance::messageReceived);
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::socketPath(m_key));
        QVERIFY(socket.waitForConnected(5000));
        socket.write("0\n");
        QTRY_COMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toString(), QString());
        QCOMPARE(m_requests.size(), 0);
        QVERIFY(warnings().isEmpty());
    }

    void aRequestIsAnswered()
    {
        QCOMPARE(SingleInstance::runningPid(m_key), qint64(::getpid()));
        auto asked = QtConcurrent::run([key = m_key] {
            QString error;
            return SingleInstance::request(key, "status", 10000, 1024, &error).value_or("failed: " + error.toUtf8());
        });
        QTRY_VERIFY(asked.isFinished());
        QCOMPARE(asked.result(), QByteArray("answer to status"));
        QCOMPARE(m_requests, QList<QByteArray>{"status"});
    }

    void withoutAHandlerRequestsAreRefused()
    {
        m_instance->setRequestHandler({});
        auto asked = QtConcurrent::run([key = m_key] {
            QString error;
            return SingleInstance::request(key, "status", 10000, 1024, &error) ? QString() : error;
        });
        QTRY_VERIFY(asked.isFinished());
        QVERIFY2(asked.result().contains(QLatin1String("refused")), qPrintable(asked.result()));
        QCOMPARE(warnings(), QStringList{"single instance: refused a message: requests are not taken here"});
    }

    void nobodyRunsUnderAnotherKey()
    {
        QCOMPARE(SingleInstance::runningPid(m_key + QLatin1String("-other")), qint64(0));
        QString error;
        QVERIFY(!SingleInstance::request(m_key + QLatin1String("-other"), "status", 200, 1024, &error));
        QVERIFY(error.contains(QLatin1String("cannot reach")));
    }

    // The tool's request inside the frame: only a request of this version, with a command line of
    // texts, within the bounds.
    void requestMessages_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("reason"); // empty: accepted

        auto json = [](const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); };
        const QJsonObject good{{"type", "ctl-request"}, {"version", 1}, {"args", QJsonArray{"dpi", "set", "400"}}};
        QTest::newRow("good") << json(good) << QString();
        QTest::newRow("not JSON") << QByteArray("dpi set 400") << "not a JSON object";
        QTest::newRow("truncated JSON") << json(good).left(30) << "not a JSON object";
        QTest::newRow("an array") << QByteArray("[\"dpi\"]") << "not a JSON object";
        QJsonObject o = good;
        o["type"] = "shutdown";
        QTest::newRow("unknown kind") << json(o) << "unknown message type 'shutdown'";
        o = good;
        o["version"] = 2;
        QTest::newRow("newer version") << json(o) << "unsupported version 2";
        o["version"] = "1";
        QTest::newRow("version as text") << json(o) << "unsupported version 1";
        o = good;
        o.remove("args");
        QTest::newRow("no command line") << json(o) << "no command line";
        o["args"] = QJsonArray{"dpi", 400};
        QTest::newRow("a number in the line") << json(o) << "not text";
        QJsonArray many;
        for (int i = 0; i <= CtlWire::maxRequestWords; ++i)
            many.append("400");
        o["args"] = many;
        QTest::newRow("too many words") << json(o) << "no command line of 1 to 64 words";
        o["args"] = QJsonArray{QString(CtlWire::maxRequestBytes, QLatin1Char('x'))};
        QTest::newRow("too long") << json(o) << "too long";
    }
    void requestMessages()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, reason);
        QString why;
        const auto args = CtlWire::decodeRequest(message, &why);
        QCOMPARE(args.has_value(), reason.isEmpty());
        if (args)
            QCOMPARE(*args, (QStringList{"dpi", "set", "400"}));
        else
            QVERIFY2(why.contains(reason), qPrintable(why));
    }

    void repliesRoundTrip()
    {
        const CtlOutput sent{3, QStringLiteral("out ü\n"), QStringLiteral("err\n")};
        QString why;
        const auto got = CtlWire::decodeReply(CtlWire::encodeReply(sent), &why);
        QVERIFY(got);
        QCOMPARE(got->exitCode, 3);
        QCOMPARE(got->out, sent.out);
        QCOMPARE(got->err, sent.err);
        QVERIFY(!CtlWire::decodeReply(CtlWire::encodeRequest({"status"}), &why));
    }
};

QTEST_GUILESS_MAIN(tst_CtlSocket)
#include "tst_ctl_socket.moc"
