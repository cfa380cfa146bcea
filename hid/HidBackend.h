#pragma once

#include <QList>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>

// The seam between the program and whatever plays the mouse: hidapi on real hardware, the virtual
// mouse in tests and in the demo. Return values follow hidapi: byte counts, or -1 on failure.
// Implementations must allow handles to be opened and used from two threads at once (the command
// exchanges on the GUI thread, the event listener on a worker).

struct HidInterfaceInfo
{
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    int interfaceNumber = -1;
};

class HidDeviceHandle
{
public:
    virtual ~HidDeviceHandle() = default;
    virtual int sendFeatureReport(const unsigned char *data, size_t length) = 0;
    // data[0] holds the report ID asked for; the answer includes it.
    virtual int getFeatureReport(unsigned char *data, size_t length) = 0;
    virtual int write(const unsigned char *data, size_t length) = 0;
    // Waits at most timeoutMs (-1: forever); 0 when nothing arrived in time.
    virtual int readTimeout(unsigned char *data, size_t length, int timeoutMs) = 0;
    virtual int setNonblocking(bool nonblocking) = 0;
};

// Why a path cannot be opened: what the user has to do differs (plug the mouse in, fix the
// permission of the device node, or nothing the program can tell).
enum class HidOpenFailure { None, Gone, PermissionDenied, Other };

class HidBackend
{
public:
    virtual ~HidBackend() = default;
    // A vendor or product id of 0 matches any. std::nullopt when enumeration itself failed.
    virtual std::optional<QList<HidInterfaceInfo>> enumerate(quint16 vendorId, quint16 productId) = 0;
    // nullptr when the path cannot be opened (device gone, no permission).
    virtual std::unique_ptr<HidDeviceHandle> openPath(const QString &path) = 0;
    // Asked after an open or an exchange failed; None when the path opens now. Backends that cannot
    // tell only know whether it opens.
    virtual HidOpenFailure openFailure(const QString &path)
    {
        return openPath(path) ? HidOpenFailure::None : HidOpenFailure::Other;
    }
};
