#pragma once

#include "FocusWatcher.h"

#include <QDBusConnection>
#include <QTemporaryFile>

#include <memory>

// The focus on KDE Plasma's Wayland session, where no client may watch others: a small KWin script
// (loaded through org.kde.KWin /Scripting and started) reports each activated window back over
// D-Bus to an object this watcher registers on the session bus. Unloaded again when it ends.
class KWinFocusWatcher : public FocusWatcher
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrelorbit.FocusReport")

public:
    static constexpr char ObjectPath[] = "/org/kestrelorbit/FocusReport";
    static constexpr char PluginName[] = "kestrel-orbit-focus";

    explicit KWinFocusWatcher(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~KWinFocusWatcher() override;

    bool start(QString *why) override;
    QString scope() const override { return QStringLiteral("KDE Plasma windows (Wayland and XWayland)"); }

    // The script for a report object at `service` (this connection's unique name). Plasma 6 names
    // the signal windowActivated, Plasma 5 clientActivated; both are served.
    static QString scriptText(const QString &service);

public slots:
    // Called by the script; every value comes as text, as the script's D-Bus call sends them.
    Q_SCRIPTABLE void activated(const QString &cls, const QString &instance, const QString &title, const QString &pid);

private:
    QDBusConnection m_bus;
    std::unique_ptr<QTemporaryFile> m_script;
    bool m_loaded = false;
};
