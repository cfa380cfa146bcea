// A later start of a program with the given single-instance key: hands over the empty message and
// ends with code 1 when an instance runs, else ends with 0.
#include "SingleInstance.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SingleInstance instance(QString::fromLocal8Bit(argc > 1 ? argv[1] : "ko-probe"));
    if (!instance.isRunning())
        return 0;
    instance.sendMessage(QString(), 5000);
    return 1;
}
