#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Why `dir` may not hold this user's lock and socket; empty when it may. lstat: a link is refused,
// whatever it points to.
QString refusalOf(const QString &dir)
{
    struct stat st {};
    if (!QDir::isAbsolutePath(dir))
        return QStringLiteral("%1: not an absolute path").arg(dir);
    if (::lstat(QFile::encodeName(dir).constData(), &st) != 0)
        return QStringLiteral("%1: %2").arg(dir, systemError());
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1: not a directory").arg(dir);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1: belongs to uid %2, not to this user (uid %3)").arg(dir).arg(st.st_uid).arg(::geteuid());
    if ((st.st_mode & 07777) != 0700)
        return QStringLiteral("%1: mode %2, not 0700").arg(dir).arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

// privateDir(), with each reason for passing a folder over logged once per process.
QString checkedPrivateDir()
{
    static QMutex mutex;
    static QSet<QString> logged;
    QStringList refused;
    const QString dir = SingleInstance::privateDir(&refused);
    const QMutexLocker lock(&mutex);
    for (const QString &why : std::as_const(refused)) {
        if (!logged.contains(why)) {
            logged.insert(why);
            qWarning("single instance: not using %s", qPrintable(why));
        }
    }
    if (dir.isEmpty() && !logged.contains(QString())) {
        logged.insert(QString());
        qWarning("single instance: no private folder for the lock and the socket: no single instance, no hand-over");
    }
    return dir;
}

QString lockPath(const QString &dir, const QString &key)
{
    return dir.isEmpty() ? QString() : QDir(dir).filePath(key + QLatin1String(".lock"));
}

QString socketPathIn(const QString &dir, const QString &key)
{
    return dir.isEmpty() ? QString() : QDir(dir).filePath(key + QLatin1String(".socket"));
}

// Whose process is at the other end of a connected local socket: empty when it is this user's.
QString foreignPeer(qintptr descriptor)
{
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return QStringLiteral("its credentials are unknown (%1)").arg(systemError());
    if (cred.uid != ::geteuid())
        return QStringLiteral("a process of uid %1 (pid %2), not of this user").arg(cred.uid).arg(cred.pid);
    return {};
}

// Connects `socket` to the instance's socket at `path`, trying again until `deadline` while the
// instance may still be starting up. Only a socket file of this user, served by a process of this
// user, is talked to; otherwise false with the reason (logged) in *why.
bool connectToInstance(QLocalSocket &socket, const QString &path, const QDeadlineTimer &deadline, QString *why)
{
    if (path.isEmpty()) {
        *why = QStringLiteral("no private folder for the socket");
        return false;
    }
    const QByteArray file = QFile::encodeName(path);
    for (;;) {
        struct stat st {};
        if (::lstat(file.constData(), &st) == 0) {
            if (!S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid()) {
                *why = QStringLiteral("%1 is not a socket of this user").arg(path);
                qWarning("single instance: refused to connect: %s", qPrintable(*why));
                return false;
            }
            socket.connectToServer(path);
            if (socket.waitForConnected(qMax<qint64>(1, deadline.remainingTime())))
                break;
        }
        if (deadline.hasExpired()) {
            *why = socket.error() == QLocalSocket::UnknownSocketError ? QStringLiteral("no socket at %1").arg(path)
                                                                       : socket.errorString();
            return false;
        }
        QThread::msleep(50);
    }
    const QString peer = foreignPeer(socket.socketDescriptor());
    if (!peer.isEmpty()) {
        socket.abort();
        *why = QStringLiteral("%1 is served by %2").arg(path, peer);
        qWarning("single instance: refused to talk: %s", qPrintable(*why));
        return false;
    }
    return true;
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

QString SingleInstance::privateDir(QStringList *refused)
{
    if (refused)
        refused->clear();
    QStringList why;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString refusal = refusalOf(runtime);
        if (refusal.isEmpty())
            return runtime;
        why << QStringLiteral("$XDG_RUNTIME_DIR: ") + refusal;
    }
    // mkdir fails on a path that exists, whoever made it; the checks decide whether it is ours.
    QString dir = QDir(QDir::tempPath()).filePath(QStringLiteral("kestrel-orbit-%1").arg(::geteuid()));
    ::mkdir(QFile::encodeName(dir).constData(), 0700);
    const QString refusal = refusalOf(dir);
    if (!refusal.isEmpty()) {
        why << refusal;
        dir.clear();
    }
    if (refused)
        *refused = why;
    return dir;
}

QString SingleInstance::socketPath(const QString &key)
{
    return socketPathIn(checkedPrivateDir(), key);
}

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_dir(checkedPrivateDir())
{
    if (m_dir.isEmpty())
        return;
    m_lock = std::make_unique<QLockFile>(lockPath(m_dir, key));
    // Never time out a live owner's lock; QLockFile still removes one whose process is gone.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isRunning()
{
    // Without a private folder this start runs on its own rather than trust a shared one.
    if (m_server || !m_lock)
        return false;
    if (!m_lock->tryLock(0))
        return true;
    // We own the key: whatever socket file is left belongs to a dead instance.
    const QString path = socketPathIn(m_dir, m_key);
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (!m_server->listen(path))
        qWarning("single instance: cannot listen on %s", qPrintable(path));
    return false;
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    QString why;
    if (!connectToInstance(socket, socketPathIn(m_dir, m_key), deadline, &why))
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
        // The folder keeps other users out; a process that got in anyway (root, say) is not this user.
        const QString peer = foreignPeer(socket->socketDescriptor());
        if (!peer.isEmpty()) {
            qWarning("single instance: refused a connection from %s", qPrintable(peer));
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
    const QString dir = checkedPrivateDir();
    if (dir.isEmpty())
        return 0;
    QLockFile lock(lockPath(dir, key));
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
    QString why;
    if (!connectToInstance(socket, socketPath(key), connectDeadline, &why)) {
        *error = QStringLiteral("cannot reach it (%1)").arg(why);
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
