#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

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
    , m_lock(std::make_unique<QLockFile>(QDir::temp().filePath(key + QLatin1String(".lock"))))
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

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Messages are "<length>\n<utf-8 bytes>"; read once the whole message is there.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray buffered = socket->peek(socket->bytesAvailable());
            const int newline = buffered.indexOf('\n');
            if (newline < 0)
                return;
            bool ok = false;
            const int length = buffered.left(newline).toInt(&ok);
            if (!ok || length < 0 || length > (1 << 20)) {
                socket->abort();
                return;
            }
            if (buffered.size() < newline + 1 + length)
                return;
            socket->read(newline + 1);
            emit messageReceived(QString::fromUtf8(socket->read(length)));
        });
    }
}
