#pragma once

#include "DeviceDiscovery.h"
#include "Hid_Thread.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class HidBackend;
class HotplugMonitor;
class ProtocolClock;
class QAction;
class QMenu;
class StatusWindow;
class TrayNotifier;
class Ui_Controler;
class myQQuickView;

// What the main window talks to outside the process. Null members take the real thing: hidapi, the
// real clock, udev and the tray icon.
struct WidgetEnvironment
{
    HidBackend *backend = nullptr;
    ProtocolClock *clock = nullptr;
    HotplugMonitor *hotplug = nullptr;
    TrayNotifier *notifier = nullptr;
    QString modulesDir = QStringLiteral("./modules");
    // Whether the desktop shows tray icons; null: ask Qt. Without a tray the notices go to the
    // desktop's notification service and the status window says the program keeps running.
    std::function<bool()> trayAvailable;
};

// The top-level window: owns the device layer, the window controller with the view, the device
// check timer and the tray icon; reacts to device changes, the tray and second starts.
class Widget : public QWidget
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    explicit Widget(const WidgetEnvironment &environment, QWidget *parent = nullptr);
    ~Widget() override;

    bool deviceConnected() const { return m_deviceConnected; }
    // Quit was asked for (possibly while start-up still ran, before the event loop could end).
    bool quitRequested() const { return m_quitting; }
    myQQuickView *view() const;
    QString modulesDir() const { return m_modulesDir; }
    // What the last device check found; nullopt before the first.
    std::optional<DeviceDiscovery::CheckOutcome> lastOutcome() const { return m_lastOutcome; }
    // Null until it was first needed.
    StatusWindow *statusWindow() const { return m_status.get(); }
    QAction *startAtLoginAction() const { return m_startAtLogin; }
    // Shows notices as the desktop can (tray balloon, else the notification service), whatever
    // notifier the environment put in front of it.
    TrayNotifier *desktopNotifier() const;
    // Where the window's own notices go (the environment's notifier, else desktopNotifier()).
    TrayNotifier *notifier() const { return m_notifier; }

    // Shows the window, runs the first device check and, when no mouse answered, tells the user
    // why. A hidden start (at login) shows neither window and stays in the tray.
    void startUp(bool hidden);

    QTimer checkTimer;
    Ui_Controler *controller = nullptr;
    Hid_Thread hid;
    QSystemTrayIcon *trayIcon = nullptr;

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    void receiveMessage(QString message);

protected:
    void customEvent(QEvent *event) override;

private:
    void onDeviceChanged();
    void onDpiStageReported(int stage);
    void onDeviceRemoved();
    void connectDevice();
    void startUi();
    void postRestore();
    void showInfo(const QString &text);
    void noteOutcome(const DeviceDiscovery::CheckOutcome &outcome);
    void showStatus();
    void setStartAtLogin(bool on);
    bool trayAvailable() const;

    QString m_modulesDir;
    std::function<bool()> m_trayAvailable;
    QStringList m_statusTexts;
    std::unique_ptr<StatusWindow> m_status;
    std::optional<DeviceDiscovery::CheckOutcome> m_lastOutcome;
    bool m_backgroundNoteSaid = false;
    bool m_checking = false;
    QAction *m_startAtLogin = nullptr;
    TrayNotifier *m_notifier = nullptr;
    std::unique_ptr<TrayNotifier> m_ownNotifier;
    std::unique_ptr<HotplugMonitor> m_ownHotplug;
    bool m_deviceConnected = false;
    bool m_quitting = false;
};
