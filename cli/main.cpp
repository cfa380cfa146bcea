// kestrel-orbit-ctl: the Kestrel Orbit mouse set up from the command line (see CtlTool.h).
#include "CtlTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The program's name, so that the per-user data folder is the program's.
    QCoreApplication::setApplicationName(QStringLiteral("kestrel-orbit"));
    ToolEnvironment environment;
    environment.executableDir = QCoreApplication::applicationDirPath();
    environment.workingDir = QDir::currentPath();
    environment.userDataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const CtlOutput output = runTool(QCoreApplication::arguments().mid(1), environment);
    std::fputs(output.out.toLocal8Bit().constData(), stdout);
    std::fputs(output.err.toLocal8Bit().constData(), stderr);
    return output.exitCode;
}
