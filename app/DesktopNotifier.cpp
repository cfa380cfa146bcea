#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDebug>
#include <QVariantMap>

namespace {

QString iconName(QSystemTrayIcon::MessageIcon icon)
{
    switch (icon) {
    case QSystemTrayIcon::Information:
        return QStringLiteral("dialog-information");
    case QSystemTrayIcon::Warning:
        return QStringLiteral("dialog-warning");
    case QSystemTrayIcon::Critical:
        return QStringLiteral("dialog-error");
    case QSystemTrayIcon::NoIcon:
        break;
    }
    return QString();
}

} // namespace

NotificationServiceNotifier::NotificationServiceNotifier(QObject *parent) : QObject(parent) {}

void NotificationServiceNotifier::showMessage(const QString &title, const QString &text,
                                              QSystemTrayIcon::MessageIcon icon, int millisecondsTimeout)
{
    const Notice notice{title, text, icon, millisecondsTimeout};
    if (m_inFlight)
        m_queued = notice;
    else
        send(notice);
}

void NotificationServiceNotifier::send(const Notice &notice)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kestrel-orbit")}};
    notify << QStringLiteral("Kestrel Orbit") << m_lastId << iconName(notice.icon) << notice.title << notice.text
           << QStringList() << hints << notice.timeout;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    m_inFlight = bus.isConnected()
                 && bus.callWithCallback(notify, this, SLOT(onReply(QDBusMessage)), SLOT(onError(QDBusError)));
    if (!m_inFlight)
        onError(bus.lastError());
}

void NotificationServiceNotifier::sendQueued()
{
    m_inFlight = false;
    if (!m_queued)
        return;
    const Notice next = *m_queued;
    m_queued.reset();
    send(next);
}

void NotificationServiceNotifier::onReply(const QDBusMessage &reply)
{
    if (!reply.arguments().isEmpty())
        m_lastId = reply.arguments().constFirst().toUInt();
    sendQueued();
}

void NotificationServiceNotifier::onError(const QDBusError &error)
{
    // Without a notification service there is nobody to tell; say so once in the log.
    if (!m_errorLogged)
        qDebug().noquote() << "notifications unavailable:" << error.message();
    m_errorLogged = true;
    if (m_inFlight)
        sendQueued();
}

DesktopNotifier::DesktopNotifier(QSystemTrayIcon *icon, std::function<bool()> trayAvailable)
    : m_icon(icon), m_trayAvailable(std::move(trayAvailable))
{
}

void DesktopNotifier::showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                                  int millisecondsTimeout)
{
    // Asked each time: a tray host may come or go while the program runs.
    if (m_trayAvailable())
        m_icon->showMessage(title, text, icon, millisecondsTimeout);
    else
        m_service.showMessage(title, text, icon, millisecondsTimeout);
}
