#pragma once

#include "TrayNotifier.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QDBusError;
class QDBusMessage;

// The desktop's notification service (org.freedesktop.Notifications on the session bus). Each
// notice replaces the one shown before, as a tray balloon does, so that stepping through the DPI
// stages leaves one notice rather than a pile. Calls never wait for the service.
class NotificationServiceNotifier final : public QObject, public TrayNotifier
{
    Q_OBJECT

public:
    explicit NotificationServiceNotifier(QObject *parent = nullptr);
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int millisecondsTimeout) override;

private slots:
    void onReply(const QDBusMessage &reply);
    void onError(const QDBusError &error);

private:
    struct Notice
    {
        QString title, text;
        QSystemTrayIcon::MessageIcon icon;
        int timeout;
    };
    void send(const Notice &notice);
    void sendQueued();

    uint m_lastId = 0;
    // One call at a time, so that each notice knows the id of the one it replaces; of the notices
    // that come meanwhile only the latest is kept.
    bool m_inFlight = false;
    std::optional<Notice> m_queued;
    bool m_errorLogged = false;
};

// Balloons of the tray icon while the desktop has a tray; without one (a desktop without a tray
// host), the notification service, so that no notice is lost.
class DesktopNotifier final : public TrayNotifier
{
public:
    DesktopNotifier(QSystemTrayIcon *icon, std::function<bool()> trayAvailable);
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int millisecondsTimeout) override;

private:
    QSystemTrayIcon *m_icon;
    std::function<bool()> m_trayAvailable;
    NotificationServiceNotifier m_service;
};
