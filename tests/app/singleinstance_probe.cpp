// Stands in for the program in the single-instance tests.
//   probe KEY            a later start: hands over the empty message and ends with 1 when an instance
//                        runs, else ends with 0
//   probe serve KEY      the first start: prints "serving <socket>", then "message" for each message
//   probe squat DIR KEY  another user's squatter: makes DIR (mode 0777) unless it exists, holds KEY's lock and listens
//                        on KEY's socket there; prints "squatting", then "connection" for each one
//   probe connect PATH   ends with 0 when a connection to the socket PATH is taken, else with 3
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <cstdio>
#include <sys/stat.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == QLatin1String("squat") && args.size() == 3) {
        const QDir dir(args.at(1));
        if (!dir.exists() && QDir().mkpath(dir.path()))
            ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
        QLockFile lock(dir.filePath(args.at(2) + QStringLiteral(".lock")));
        QLocalServer server;
        server.setSocketOptions(QLocalServer::WorldAccessOption);
        if (!lock.tryLock(0) || !server.listen(dir.filePath(args.at(2) + QStringLiteral(".socket"))))
            return 2;
        QObject::connect(&server, &QLocalServer::newConnection, [] { say(QStringLiteral("connection")); });
        say(QStringLiteral("squatting"));
        return app.exec();
    }
    if (mode == QLatin1String("connect") && args.size() == 2) {
        QLocalSocket socket;
        socket.connectToServer(args.at(1));
        return socket.waitForConnected(2000) ? 0 : 3;
    }
    const bool serve = mode == QLatin1String("serve");
    SingleInstance instance(args.value(serve ? 1 : 0, QStringLiteral("ko-probe")));
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    if (!serve)
        return 0;
    QObject::connect(&instance, &SingleInstance::messageReceived, [] { say(QStringLiteral("message")); });
    say(QStringLiteral("serving ") + SingleInstance::socketPath(args.at(1)));
    return app.exec();
}
