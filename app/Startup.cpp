#include "Startup.h"

#include "AppPaths.h"
#include "InputHook.h"
#include "myQQuickView.h"
#include "SingleInstance.h"
#include "Widget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

// The hook's callbacks run while the hook handles input: they only queue work for the documents.
void onKey(quint8 usage, bool pressed, void *context)
{
    if (auto *w = static_cast<Widget *>(context))
        w->view()->detectKeyboard(pressed, usage);
}

void onButton(quint8 code, bool down, quint32 x, quint32 y, void *context)
{
    if (auto *w = static_cast<Widget *>(context))
        w->view()->detectMouse(down, code, x, y);
}

void onCopyData(const CopyDataRecord *record, void *context)
{
    auto *w = static_cast<Widget *>(context);
    if (!w || !record)
        return;
    if (const auto text = copyDataNoticeText(*record))
        QMessageBox::warning(w, w->windowTitle(), *text, QMessageBox::Ok);
}

} // namespace

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
    hook.setKeyboardCallback(onKey, &w);
    hook.setMouseCallback(onButton, &w);
    hook.setCopyDataCallback(onCopyData, &w);

    if (variant.beforeFirstCheck)
        variant.beforeFirstCheck(w);
    w.showNormal();
    w.checkDevice();
    return app.exec();
}
