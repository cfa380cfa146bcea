#include "HidapiBackend.h"

#include <hidapi.h>

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::mutex &globalStateMutex()
{
    static std::mutex mutex;
    return mutex;
}

// hid_init is called once for the process; false when the library could not start.
bool ensureInit()
{
    static const bool ok = hid_init() == 0;
    return ok;
}

class HidapiHandle final : public HidDeviceHandle
{
public:
    explicit HidapiHandle(hid_device *device) : m_device(device) {}
    ~HidapiHandle() override { hid_close(m_device); }

    int sendFeatureReport(const unsigned char *data, size_t length) override
    {
        return hid_send_feature_report(m_device, data, length);
    }
    int getFeatureReport(unsigned char *data, size_t length) override
    {
        return hid_get_feature_report(m_device, data, length);
    }
    int write(const unsigned char *data, size_t length) override { return hid_write(m_device, data, length); }
    int readTimeout(unsigned char *data, size_t length, int timeoutMs) override
    {
        return hid_read_timeout(m_device, data, length, timeoutMs);
    }
    int setNonblocking(bool nonblocking) override { return hid_set_nonblocking(m_device, nonblocking ? 1 : 0); }

private:
    hid_device *m_device;
};

} // namespace

std::optional<QList<HidInterfaceInfo>> HidapiBackend::enumerate(quint16 vendorId, quint16 productId)
{
    std::lock_guard lock(globalStateMutex());
    if (!ensureInit())
        return std::nullopt;
    QList<HidInterfaceInfo> result;
    // hid_enumerate gives NULL both for "nothing attached" and for a failure; both read as empty.
    hid_device_info *devices = hid_enumerate(vendorId, productId);
    for (const hid_device_info *d = devices; d; d = d->next) {
        HidInterfaceInfo info;
        info.path = QString::fromLocal8Bit(d->path);
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        info.interfaceNumber = d->interface_number;
        result.append(info);
    }
    hid_free_enumeration(devices);
    return result;
}

std::unique_ptr<HidDeviceHandle> HidapiBackend::openPath(const QString &path)
{
    std::lock_guard lock(globalStateMutex());
    if (!ensureInit())
        return nullptr;
    hid_device *device = hid_open_path(path.toLocal8Bit().constData());
    if (!device)
        return nullptr;
    return std::make_unique<HidapiHandle>(device);
}

HidOpenFailure HidapiBackend::openFailure(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return HidOpenFailure::None;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        return HidOpenFailure::PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return HidOpenFailure::Gone;
    default:
        return HidOpenFailure::Other;
    }
}

HidBackend &defaultHidBackend()
{
    static HidapiBackend backend;
    return backend;
}
