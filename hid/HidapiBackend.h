#pragma once

#include "HidBackend.h"

// The real mouse through hidapi (hidraw). hidapi keeps a process-wide error string that
// enumeration and opening write, so those calls are serialised; each open handle is used by one
// thread at a time (commands on the GUI thread, the listener on its worker).
class HidapiBackend final : public HidBackend
{
public:
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override;
    // Opens the node itself to read errno, which hidapi does not pass on.
    HidOpenFailure openFailure(const QString &path) override;
};

// The backend used when none was set: one process-wide HidapiBackend.
HidBackend &defaultHidBackend();
