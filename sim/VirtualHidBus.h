#pragma once

#include "HidBackend.h"

#include <QList>
#include <QMutex>

class VirtualMouse;

// Several virtual mice on one bus, for device discovery with more than one candidate attached.
// Enumeration lists the attached mice in the order they were attached; an open goes to the mouse
// that owns the path. The mice are not owned and must outlive their attachment.
class VirtualHidBus final : public HidBackend
{
public:
    void attach(VirtualMouse *mouse);
    void detach(VirtualMouse *mouse);

    // std::nullopt when any attached mouse fails its enumeration.
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override;
    HidOpenFailure openFailure(const QString &path) override;

private:
    QList<VirtualMouse *> attached() const;

    mutable QMutex m_mutex;
    QList<VirtualMouse *> m_mice;
};
