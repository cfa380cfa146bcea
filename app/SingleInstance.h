#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One running instance per executable and user. The first start holds a lock file and listens on a
// local socket; a later start finds the lock held and hands its message over the socket. The lock
// file carries the owner's PID, so one left by a killed instance is taken over on the next start.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The key is derived from the executable's path and the user, so copies of the program in
    // different folders do not see each other.
    static QString keyFor(const QString &executablePath);

    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance holds the key. Otherwise this object becomes the instance.
    bool isRunning();
    // Hands `message` to the running instance; false when it could not be delivered in time.
    bool sendMessage(const QString &message, int timeoutMs);

    QString serverName() const { return m_key; }

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
