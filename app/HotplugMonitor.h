#pragma once

#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

// Reports that the set of attached HID devices changed. The main window schedules a device check on
// each report; tests emit reports themselves.
class HotplugMonitor : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void deviceChanged();
};

// Every add or remove of a hidraw node, as udev announces it.
class UdevHotplugMonitor final : public HotplugMonitor
{
    Q_OBJECT

public:
    explicit UdevHotplugMonitor(QObject *parent = nullptr);
    ~UdevHotplugMonitor() override;
    bool isActive() const { return m_notifier != nullptr; }

private:
    void onReadable();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
