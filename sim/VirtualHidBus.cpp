#include "VirtualHidBus.h"

#include "VirtualMouse.h"

void VirtualHidBus::attach(VirtualMouse *mouse)
{
    QMutexLocker lock(&m_mutex);
    if (mouse && !m_mice.contains(mouse))
        m_mice.append(mouse);
}

void VirtualHidBus::detach(VirtualMouse *mouse)
{
    QMutexLocker lock(&m_mutex);
    m_mice.removeAll(mouse);
}

QList<VirtualMouse *> VirtualHidBus::attached() const
{
    // A copy, so that no call into a mouse runs under the bus's lock.
    QMutexLocker lock(&m_mutex);
    return m_mice;
}

std::optional<QList<HidInterfaceInfo>> VirtualHidBus::enumerate(quint16 vendorId, quint16 productId)
{
    QList<HidInterfaceInfo> all;
    for (VirtualMouse *mouse : attached()) {
        const auto found = mouse->enumerate(vendorId, productId);
        if (!found)
            return std::nullopt;
        all += *found;
    }
    return all;
}

std::unique_ptr<HidDeviceHandle> VirtualHidBus::openPath(const QString &path)
{
    for (VirtualMouse *mouse : attached()) {
        if (mouse->commandPath() == path || mouse->eventPath() == path)
            return mouse->openPath(path);
    }
    return nullptr;
}

HidOpenFailure VirtualHidBus::openFailure(const QString &path)
{
    for (VirtualMouse *mouse : attached()) {
        if (mouse->commandPath() == path || mouse->eventPath() == path)
            return mouse->openFailure(path);
    }
    return HidOpenFailure::Gone;
}
