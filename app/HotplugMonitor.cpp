#include "HotplugMonitor.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

UdevHotplugMonitor::UdevHotplugMonitor(QObject *parent) : HotplugMonitor(parent)
{
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0) {
        // Without udev (some containers) the program still works; it only misses replugs.
        qDebug("hotplug: udev monitor unavailable");
        return;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevHotplugMonitor::onReadable);
}

UdevHotplugMonitor::~UdevHotplugMonitor()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void UdevHotplugMonitor::onReadable()
{
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(device);
        const bool change = action && (!std::strcmp(action, "add") || !std::strcmp(action, "remove"));
        udev_device_unref(device);
        if (change)
            emit deviceChanged();
    }
}
