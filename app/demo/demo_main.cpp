// The real program, talking to the virtual mouse instead of hidapi. The model it plays comes from
// ./modules/setting/demoMouse.ini; every report that crosses to and from the mouse is printed on
// standard output.
//
// Driven from outside (tests, scripts/screenshots) with --memory-file PATH (a JSON copy of the mouse's
// memory, kept current) and --choose-file PATH (the answer of every file dialog); see DemoRemote.h.
#include "AppPaths.h"
#include "DemoControlWindow.h"
#include "DemoRemote.h"
#include "HotplugMonitor.h"
#include "Startup.h"
#include "VirtualMouse.h"
#include "VirtualMouseConfig.h"
#include "VirtualMouseDump.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRect>
#include <QScreen>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Plugging the virtual mouse in or out is a device change, as udev would report it.
class VirtualHotplugMonitor final : public HotplugMonitor
{
public:
    explicit VirtualHotplugMonitor(VirtualMouse &mouse)
    {
        connect(&mouse, &VirtualMouse::plugChanged, this, &HotplugMonitor::deviceChanged,
                Qt::QueuedConnection);
    }
};

// Unless --keep is given, the demo works on a fresh copy of the data files in a temporary folder
// removed at exit, so every run starts from the shipped settings, as the fresh virtual mouse does.
// The copy is taken from the build's shipped copy, never from ./modules, which --keep and
// kestrel-orbit-ctl --virtual change.
std::unique_ptr<QTemporaryDir> useFreshDataCopy()
{
    const QString own = QDir::current().absoluteFilePath(QStringLiteral("modules"));
    QString shipped = QStringLiteral(KO_SHIPPED_DATA_DIR);
    if (!QFileInfo(shipped).isDir()) {
        std::fprintf(stderr, "demo: no shipped copy at %s; the fresh copy is taken from %s\n", qPrintable(shipped),
                     qPrintable(own));
        shipped = own;
    }
    auto copy = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("kestrel-orbit-demo-XXXXXX")));
    if (!copy->isValid() || !AppPaths::copyMissing(shipped, copy->filePath(QStringLiteral("modules")))) {
        std::fprintf(stderr, "demo: no fresh copy of the data files; working on %s\n", qPrintable(own));
        return nullptr;
    }
    QDir::setCurrent(copy->path());
    std::fprintf(stderr, "demo: settings in %s, removed at exit (--keep works on %s instead)\n",
                 qPrintable(copy->filePath(QStringLiteral("modules"))), qPrintable(own));
    return copy;
}

} // namespace

int main(int argc, char **argv)
{
    const bool keep = std::any_of(argv + 1, argv + argc, [](const char *a) { return !std::strcmp(a, "--keep"); });
    std::unique_ptr<QTemporaryDir> freshData;
    const DemoOptions options = DemoOptions::read(argc, argv);
    EchoingNotifier notifier;
    std::unique_ptr<FixedFileChooser> chooser;
    if (!options.chooseFile.isEmpty())
        chooser = std::make_unique<FixedFileChooser>(options.chooseFile);
    std::unique_ptr<VirtualMouseMemoryFile> memoryFile;
    std::unique_ptr<VirtualMouse> mouse;
    std::unique_ptr<VirtualHotplugMonitor> hotplug;
    std::unique_ptr<DemoControlWindow> controls;

    StartupVariant demo;
    demo.options = {
        {QStringLiteral("keep"), QStringLiteral("Work on the data files beside the executable, so that settings "
                                                "last from run to run (by default each run starts on a fresh "
                                                "copy, removed at exit).")},
        {QStringLiteral("memory-file"), QStringLiteral("Keep a JSON copy of the virtual mouse's memory in <path>."),
         QStringLiteral("path")},
        {QStringLiteral("choose-file"), QStringLiteral("Answer every file dialog with <path>."),
         QStringLiteral("path")},
    };
    demo.prepareEnvironment = [&](WidgetEnvironment &environment) {
        if (!keep)
            freshData = useFreshDataCopy();
        environment.notifier = &notifier;
        QString error;
        const auto config = loadVirtualMouseConfig(QStringLiteral("./modules/setting/demoMouse.ini"),
                                                   &error);
        if (!config) {
            std::fprintf(stderr, "demo: no virtual mouse: %s\n", qPrintable(error));
            return;
        }
        mouse = std::make_unique<VirtualMouse>(*config);
        if (!options.memoryFile.isEmpty())
            memoryFile = std::make_unique<VirtualMouseMemoryFile>(*mouse, options.memoryFile);
        mouse->setTraceSink([&memoryFile](const QString &line) {
            std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
            std::fflush(stdout);
            if (memoryFile)
                memoryFile->noteReport();
        });
        hotplug = std::make_unique<VirtualHotplugMonitor>(*mouse);
        environment.backend = mouse.get();
        environment.hotplug = hotplug.get();
    };
    demo.beforeFirstCheck = [&](Widget &window) {
        notifier.next = window.desktopNotifier();
        if (chooser)
            window.view()->setFileChooser(chooser.get());
        handleDemoSignals(window, mouse.get());
        if (!mouse)
            return;
        controls = std::make_unique<DemoControlWindow>(*mouse);
        controls->adjustSize();
        // Clear of the main window, which a screen without a window manager shows at the top left.
        if (const QScreen *screen = window.screen())
            controls->move(DemoControlWindow::placeBeside(window.frameGeometry(), controls->frameSize(),
                                                          screen->availableGeometry()));
        controls->show();
        // A widget must not outlive the application object, which ends inside runProgram.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window, [&controls] { controls.reset(); });
    };
    const int code = runProgram(argc, argv, demo);
    controls.reset();
    hotplug.reset();
    mouse.reset();
    memoryFile.reset();
    return code;
}
