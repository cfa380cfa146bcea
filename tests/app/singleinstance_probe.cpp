// A stand-in program for the single-instance test: the first start prints "primary" and then
// every message it receives; a later start hands over the empty message and ends with code 1.
#include "SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::messageReceived, [](const QString &m) {
        std::printf("message:%s\n", qPrintable(m));
        std::fflush(stdout);
    });
    std::printf("primary\n");
    std::fflush(stdout);
    return app.exec();
}
