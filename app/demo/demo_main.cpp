// The real program, talking to the virtual mouse instead of hidapi. The model it plays comes from
// ./modules/setting/demoMouse.ini; every report that crosses to and from the mouse is printed on
// standard output.
//
// Driven from outside (tests, scripts/screenshots) with --memory-file PATH (a JSON copy of the mouse's
// memory, kept current) and --choose-file PATH (the answer of every file dialog); see DemoRemote.h.
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
#include <QRect>
#include <QScreen>

#include <cstdio>
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

} // namespace

int main(int argc, char **argv)
{
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
    demo.prepareEnvironment = [&](WidgetEnvironment &environment) {
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
        notifier.tray = window.trayIcon;
        if (chooser)
            window.view()->setFileChooser(chooser.get());
        handleDemoSignals(window, mouse.get());
        if (!mouse)
            return;
        controls = std::make_unique<DemoControlWindow>(*mouse);
        controls->adjustSize();
        // Top right of the screen, clear of the main window, which opens at the top left.
        if (const QScreen *screen = window.screen()) {
            const QRect area = screen->availableGeometry();
            controls->move(area.right() - controls->width() - 24, area.top() + 24);
        }
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
