#pragma once

// What lets a program outside drive the demo (the end-to-end tests, scripts/screenshots): its two
// options, notices on standard error, and signals that act as the user's hand.
#include "FileChooser.h"
#include "TrayNotifier.h"

#include <QString>

class VirtualMouse;
class Widget;

// --memory-file PATH (or --memory-file=PATH) and --choose-file PATH; anything else is left to Qt.
struct DemoOptions
{
    QString memoryFile;
    QString chooseFile;

    static DemoOptions read(int argc, char **argv);
};

// The tray balloons, also written to standard error as "notice: <title>: <text>", where a desktop
// without a tray (or a test) can see them.
class EchoingNotifier final : public TrayNotifier
{
public:
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int millisecondsTimeout) override;

    TrayNotifier *next = nullptr; // not owned; where the notices go besides standard error
};

// SIGUSR1 presses the mouse's DPI button: to the stage sent as the signal's value (sigqueue, 1 … 8),
// else on to the next active stage, as the button itself does. SIGTERM and SIGINT quit as the tray's Quit does.
void handleDemoSignals(Widget &window, VirtualMouse *mouse);
