#pragma once

// A Hid_Thread talking to a virtual mouse, for the protocol and listener tests.
#include "Hid_Thread.h"
#include "ProtocolClock.h"
#include "VirtualMouse.h"

#include <QStringList>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

inline VirtualMouseConfig mouseConfig(const QString &family, int reportLength = 32, bool isEncode = false)
{
    VirtualMouseConfig config;
    std::tie(config.family, config.reportLength, config.isEncode) = std::tie(family, reportLength, isEncode);
    return config;
}

// Another backend, watched: counts the handles open at the same time; with `unnumbered` it hands
// input reports over without their report ID, as hidapi does for an interface without numbered
// reports.
class WatchingBackend : public HidBackend
{
public:
    explicit WatchingBackend(HidBackend &inner, bool unnumbered = false) : m_inner(inner), m_unnumbered(unnumbered) {}
    std::optional<QList<HidInterfaceInfo>> enumerate(quint16 v, quint16 p) override { return m_inner.enumerate(v, p); }
    std::unique_ptr<HidDeviceHandle> openPath(const QString &path) override
    {
        auto inner = m_inner.openPath(path);
        return inner ? std::make_unique<Handle>(*this, std::move(inner)) : nullptr;
    }
    int mostOpen() const { return m_most; }

private:
    struct Handle : HidDeviceHandle
    {
        Handle(WatchingBackend &b, std::unique_ptr<HidDeviceHandle> inner) : b(b), inner(std::move(inner))
        {
            const int now = ++b.m_open;
            for (int most = b.m_most; now > most && !b.m_most.compare_exchange_weak(most, now);) {
            }
        }
        ~Handle() override { --b.m_open; }
        int sendFeatureReport(const unsigned char *d, size_t n) override { return inner->sendFeatureReport(d, n); }
        int getFeatureReport(unsigned char *d, size_t n) override { return inner->getFeatureReport(d, n); }
        int write(const unsigned char *d, size_t n) override { return inner->write(d, n); }
        int setNonblocking(bool on) override { return inner->setNonblocking(on); }
        int readTimeout(unsigned char *d, size_t n, int ms) override
        {
            const int got = inner->readTimeout(d, n, ms);
            if (!b.m_unnumbered || got <= 0)
                return got;
            std::memmove(d, d + 1, size_t(got - 1));
            return got - 1;
        }
        WatchingBackend &b;
        const std::unique_ptr<HidDeviceHandle> inner;
    };
    HidBackend &m_inner;
    const bool m_unnumbered;
    std::atomic<int> m_open{0}, m_most{0};
};

struct HidTestRig
{
    explicit HidTestRig(const VirtualMouseConfig &config, bool isGun = false) : mouse(config, &clock)
    {
        hid.setBackend(&mouse);
        hid.setClock(&clock);
        hid.setModelFlags(config.family, isGun);
        hid.setDeviceTable({mouse.deviceEntry()});
    }

    void reset()
    {
        mouse.clearTrace();
        clock.clearSleeps();
    }

    // The trace without its time stamps: "-> feature 00 01 …".
    QStringList wire() const
    {
        QStringList lines = mouse.trace();
        for (QString &line : lines)
            line = line.section(QLatin1Char(' '), 1);
        return lines;
    }

    // Puts a watching backend (see above) between the thread and the mouse.
    WatchingBackend &watch(bool unnumbered = false)
    {
        watching = std::make_unique<WatchingBackend>(mouse, unnumbered);
        hid.setBackend(watching.get());
        return *watching;
    }

    void setEntry(const std::function<void(DeviceEntry &)> &change)
    {
        DeviceTable table = hid.deviceTable();
        change(table[0]);
        hid.setDeviceTable(table);
    }

    VirtualClock clock;
    VirtualMouse mouse;
    std::unique_ptr<WatchingBackend> watching;
    Hid_Thread hid;
};
