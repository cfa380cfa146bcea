#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

QString lockPath(const QString &key)
{
    return QDir::temp().filePath(key + QLatin1String(".lock"));
}

QByteArray frame(const QByteArray &payload)
{
    return QByteArray::number(payload.size()) + '\n' + payload;
}

// The length a message announces before its newline: at most 7 digits, nothing else.
constexpr int maxLengthDigits = 7;

enum class Framed { Incomplete, Complete, Malformed };

// Takes "<length>\n<bytes>" apart; *payload is set when the message is complete.
Framed unframe(const QByteArray &buffer, int limit, QByteArray *payload, QString *why)
{
    const int newline = buffer.indexOf('\n');
    const QByteArray digits = newline < 0 ? buffer : buffer.left(newline);
    bool allDigits = !digits.isEmpty() || newline < 0;
    for (const char c : digits)
        allDigits = allDigits && c >= '0' && c <= '9';
    if (!allDigits || digits.size() > maxLengthDigits) {
        *why = QStringLiteral("malformed length");
        return Framed::Malformed;
    }
    if (newline < 0)
        return Framed::Incomplete;
    const int length = digits.toInt();
    if (length > limit) {
        *why = QStringLiteral("too long (%1 bytes, at most %2)").arg(length).arg(limit);
        return Framed::Malformed;
    }
    const int end = newline + 1 + length;
    if (buffer.size() < end)
        return Framed::Incomplete;
    if (buffer.size() > end) {
        *why = QStringLiteral("bytes after the message");
        return Framed::Malformed;
    }
    *payload = buffer.mid(newline + 1, length);
    return Framed::Complete;
}

} // namespace

QString SingleInstance::keyFor(const QString &executablePath)
{
    const QByteArray id = QDir::cleanPath(executablePath).toUtf8() + '\0'
                          + QByteArray::number(static_cast<qulonglong>(::getuid()));
    return QStringLiteral("kestrel-orbit-")
           + QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_lock(std::make_unique<QLockFile>(lockPath(key)))
{
    // Never time out a live owner's lock; QLockFile still removes one whose process is gone.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isRunning()
{
    if (m_server)
        return false;
    if (!m_lock->tryLock(0))
        return true;
    // We own the key: whatever socket file is left belongs to a dead instance.
    QLocalServer::removeServer(m_key);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (!m_server->listen(m_key))
        qWarning("single instance: cannot listen on %s", qPrintable(m_key));
    return false;
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    // The running instance may still be starting up: keep trying until the deadline.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    do {
        socket.connectToServer(m_key);
        if (socket.waitForConnected(qMax<qint64>(1, deadline.remainingTime())))
            break;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;
    const QByteArray payload = message.toUtf8();
    socket.write(QByteArray::number(payload.size()) + '\n' + payload);
    if (!socket.waitForBytesWritten(qMax<qint64>(1, deadline.remainingTime())))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(qMax<qint64>(1, deadline.remainingTime()));
    return true;
}

void SingleInstance::setRequestHandler(RequestHandler handler)
{
    m_requestHandler = std::move(handler);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A connection that never completes its message must not stay open for ever.
        auto *deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("messageDeadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] {
            qWarning("single instance: refused a message: not complete within %d ms", messageTimeoutMs);
            socket->setProperty("messageTaken", true);
            socket->abort();
        });
        deadline->start(messageTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [socket] {
            // Hung up in the middle of a message.
            if (socket->property("messageTaken").toBool() || socket->bytesAvailable() == 0)
                return;
            qWarning("single instance: refused a message: truncated (%lld bytes)",
                     static_cast<long long>(socket->bytesAvailable()));
        });
    }
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    if (socket->property("messageTaken").toBool()) {
        // One message per connection; whatever follows is not read.
        socket->readAll();
        return;
    }
    QByteArray payload;
    QString why;
    switch (unframe(socket->peek(socket->bytesAvailable()), maxMessageBytes, &payload, &why)) {
    case Framed::Incomplete:
        return;
    case Framed::Malformed:
        qWarning("single instance: refused a message: %s", qPrintable(why));
        socket->setProperty("messageTaken", true);
        socket->abort();
        return;
    case Framed::Complete:
        break;
    }
    socket->readAll();
    socket->setProperty("messageTaken", true);
    if (auto *deadline = socket->findChild<QTimer *>(QStringLiteral("messageDeadline")))
        deadline->stop();
    if (payload.isEmpty()) {
        emit messageReceived(QString());
        return;
    }
    if (!m_requestHandler) {
        qWarning("single instance: refused a message: requests are not taken here");
        socket->abort();
        return;
    }
    QPointer<QLocalSocket> asker(socket);
    m_requestHandler(payload, [asker](const QByteArray &answer) {
        if (!asker || asker->state() != QLocalSocket::ConnectedState)
            return;
        if (answer.isEmpty()) {
            asker->abort();
            return;
        }
        asker->write(frame(answer));
        asker->disconnectFromServer();
    });
}

qint64 SingleInstance::runningPid(const QString &key)
{
    QLockFile lock(lockPath(key));
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0)
        return 0;
    // A lock left by a process that has gone does not count.
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return 0;
    return pid;
}

std::optional<QByteArray> SingleInstance::request(const QString &key, const QByteArray &request, int timeoutMs,
                                                  int maxAnswerBytes, QString *error)
{
    const QDeadlineTimer deadline(timeoutMs);
    // The instance may still be starting up: keep trying to reach it for a while.
    const QDeadlineTimer connectDeadline(qMin(timeoutMs, messageTimeoutMs));
    QLocalSocket socket;
    do {
        socket.connectToServer(key);
        if (socket.waitForConnected(qMax<qint64>(1, connectDeadline.remainingTime())))
            break;
        QThread::msleep(50);
    } while (!connectDeadline.hasExpired());
    if (socket.state() != QLocalSocket::ConnectedState) {
        *error = QStringLiteral("cannot reach it (%1)").arg(socket.errorString());
        return std::nullopt;
    }
    socket.write(frame(request));
    QByteArray buffer;
    for (;;) {
        QByteArray answer;
        QString why;
        const Framed state = unframe(buffer, maxAnswerBytes, &answer, &why);
        if (state == Framed::Complete)
            return answer;
        if (state == Framed::Malformed) {
            *error = QStringLiteral("its answer was unreadable (%1)").arg(why);
            return std::nullopt;
        }
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(qMax<qint64>(1, deadline.remainingTime()))) {
            *error = socket.state() == QLocalSocket::ConnectedState && deadline.hasExpired()
                         ? QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000)
                         : QStringLiteral("it refused the request (its log says why)");
            return std::nullopt;
        }
        buffer += socket.readAll();
    }
}
