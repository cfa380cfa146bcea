#pragma once

#include <QSystemTrayIcon>

// The balloon messages of the tray icon; tests record them instead.
class TrayNotifier
{
public:
    virtual ~TrayNotifier() = default;
    virtual void showMessage(const QString &title, const QString &text,
                             QSystemTrayIcon::MessageIcon icon, int millisecondsTimeout) = 0;
};
