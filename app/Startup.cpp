#include "Startup.h"

#include "AppPaths.h"
#include "HookWiring.h"
#include "InputHook.h"
#include "SingleInstance.h"
#include "Widget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

int runProgram(int argc, char **argv, const StartupVariant &variant)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel-orbit"));
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(SingleInstance::keyFor(QApplication::applicationFilePath()));
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }

    // Every path under ./modules resolves against the program's own folder, wherever it was
    // started from (or the user's copy when that folder is read-only).
    const QString exeDir = QFileInfo(QApplication::applicationFilePath()).absolutePath();
    const QString dataRoot = AppPaths::chooseDataRoot(
        exeDir, AppPaths::isWritableDir(exeDir),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir::setCurrent(dataRoot);

    WidgetEnvironment environment;
    if (variant.prepareEnvironment)
        variant.prepareEnvironment(environment);
    Widget w(environment);
    QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);

    InputHook hook(false);
    connectInputHook(hook, w);

    if (variant.beforeFirstCheck)
        variant.beforeFirstCheck(w);
    w.showNormal();
    w.checkDevice();
    return app.exec();
}
