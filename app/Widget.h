#pragma once

#include "Hid_Thread.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <memory>

class HidBackend;
class HotplugMonitor;
class ProtocolClock;
class QAction;
class QMenu;
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
    myQQuickView *view() const;
    QString modulesDir() const { return m_modulesDir; }

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

    QString m_modulesDir;
    TrayNotifier *m_notifier = nullptr;
    std::unique_ptr<TrayNotifier> m_ownNotifier;
    std::unique_ptr<HotplugMonitor> m_ownHotplug;
    bool m_deviceConnected = false;
    bool m_quitting = false;
};
