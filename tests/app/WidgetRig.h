#pragma once

// The main window against the virtual mouse, on a fresh copy of the shipped modules/, with a hotplug
// source and a notifier the test controls and a recording document in place of the UI.
#include "HotplugMonitor.h"
#include "LogCapture.h"
#include "ProtocolClock.h"
#include "ShippedData.h"
#include "TrayNotifier.h"
#include "VirtualHidBus.h"
#include "VirtualMouse.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

class ManualHotplug : public HotplugMonitor
{
public:
    void report() { emit deviceChanged(); }
};

class RecordingNotifier : public TrayNotifier
{
public:
    QStringList shown; // "title|text|icon|ms"
    void showMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon,
                     int ms) override
    {
        shown << QStringLiteral("%1|%2|%3|%4").arg(title, text).arg(int(icon)).arg(ms);
    }
};

// The model of the shipped device table's mouse group: a 560 gun model with colours, enciphered.
inline VirtualMouseConfig demoMouse()
{
    VirtualMouseConfig c;
    c.family = QStringLiteral("560");
    c.isEncode = c.isGun = c.isColorful = true;
    return c;
}

struct WidgetRig
{
    QTemporaryDir dir;
    QString modules = dir.filePath(QStringLiteral("modules"));
    VirtualClock clock;
    std::unique_ptr<VirtualMouse> mouse = std::make_unique<VirtualMouse>(demoMouse(), &clock);
    VirtualHidBus bus; // nothing attached unless a test attaches
    ManualHotplug hotplug;
    RecordingNotifier notifier;

    WidgetRig() { ShippedData::copyTo(modules); }

    // `backend` null: the empty bus. Notices are recorded unless `desktopNotices`, which keeps the
    // program's own (tray, or the notification service). The window is not shown, no check has run.
    std::unique_ptr<Widget> makeWidget(HidBackend *backend, WidgetEnvironment env = {}, bool desktopNotices = false)
    {
        env.backend = backend ? backend : &bus;
        env.clock = &clock;
        env.hotplug = &hotplug;
        env.notifier = desktopNotices ? nullptr : &notifier;
        env.modulesDir = modules;
        auto w = std::make_unique<Widget>(env);
        w->view()->setSource(QUrl::fromLocalFile(QStringLiteral(KO_TEST_APP_DATA "/recorder.qml")));
        return w;
    }

    void setConfig(const QString &key, const QVariant &value)
    {
        QSettings(modules + QStringLiteral("/setting/apConfig.bin"), QSettings::IniFormat).setValue(key, value);
    }
};
