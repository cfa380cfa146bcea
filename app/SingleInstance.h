#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

// One running instance per executable and user. The first start holds a lock file and listens on a
// local socket; a later start finds the lock held and hands its message over the socket. The lock
// file carries the owner's PID, so one left by a killed instance is taken over on the next start.
//
// Both live in a folder only this user can enter (privateDir()), so no other local user can hold
// the lock or stand in for the socket. Connections are taken only from processes of this user, and
// a later start or the tool talks only to a socket of this user; anything else is refused and
// logged.
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

    // The folder that holds the locks and sockets: $XDG_RUNTIME_DIR when it is a directory of this
    // user with mode 0700, else <temp>/kestrel-orbit-<uid>, created with mode 0700 and used only when
    // it is a real directory of this user with mode 0700. Empty when neither is: then nothing is
    // locked and nothing handed over. *refused (when given) says why a folder was passed over.
    static QString privateDir(QStringList *refused = nullptr);
    // Where the socket of `key` is; empty without a private folder.
    static QString socketPath(const QString &key);

    // A message other than the empty one is a request: the handler receives it with a function
    // that sends the answer back (once; nothing is sent when the asker has gone meanwhile). An
    // empty answer refuses the request: the connection is closed without one. Without a handler,
    // requests are refused.
    using Reply = std::function<void(const QByteArray &answer)>;
    using RequestHandler = std::function<void(const QByteArray &request, const Reply &reply)>;
    void setRequestHandler(RequestHandler handler);

    // A message is "<length>\n<bytes>". Longer ones, a malformed length, a message not complete
    // within the time-out and bytes after it are refused with a logged reason; nothing is handed on.
    static constexpr int maxMessageBytes = 64 * 1024;
    static constexpr int messageTimeoutMs = 5000;

    // For another program: the PID of the running instance of `key` (0 when none runs), read from
    // its lock file without taking the lock.
    static qint64 runningPid(const QString &key);
    // Sends `request` to the running instance of `key` and waits at most `timeoutMs` for its answer
    // of at most `maxAnswerBytes`; std::nullopt, with the reason in *error, when no instance takes
    // it or none came.
    static std::optional<QByteArray> request(const QString &key, const QByteArray &request, int timeoutMs,
                                             int maxAnswerBytes, QString *error);

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();
    void readMessage(class QLocalSocket *socket);

    QString m_key;
    QString m_dir;
    RequestHandler m_requestHandler;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
