#pragma once

// Stands in for the desktop's notification daemon on a session bus, keeping what it was asked to show.
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList notices; // "app|replacesId|icon|summary|body|timeout"

    bool serve(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots)
            && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

public slots:
    uint Notify(const QString &app, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &, int timeout)
    {
        notices << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(app).arg(replacesId).arg(icon, summary, body).arg(timeout);
        return uint(41 + notices.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
};
