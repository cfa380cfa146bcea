#pragma once

// A Hid_Thread talking to a virtual mouse, for the protocol and listener tests.
#include "Hid_Thread.h"
#include "ProtocolClock.h"
#include "VirtualMouse.h"

#include <QRegularExpression>
#include <QStringList>

#include <memory>

inline VirtualMouseConfig mouseConfig(const QString &family, int reportLength = 32, bool isEncode = false)
{
    VirtualMouseConfig config;
    config.family = family;
    config.reportLength = reportLength;
    config.isEncode = isEncode;
    return config;
}

struct HidTestRig
{
    // clock: nullptr runs the mouse and the transport on real time (listener tests).
    explicit HidTestRig(const VirtualMouseConfig &config, bool isGun = false, bool virtualTime = true)
        : mouse(config, virtualTime ? &clock : nullptr)
    {
        hid.setBackend(&mouse);
        if (virtualTime)
            hid.setClock(&clock);
        hid.setModelFlags(config.family, isGun);
        hid.setDeviceTable({mouse.deviceEntry()});
    }

    // Probes the entry so that the secrecy code is the mouse's, then forgets what that cost.
    bool probe()
    {
        const bool ok = hid.chkDeviceIsEnCode(0);
        reset();
        return ok;
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
            line.remove(QRegularExpression(QStringLiteral("^\\d+ ")));
        return lines;
    }

    void setEntry(const std::function<void(DeviceEntry &)> &change)
    {
        DeviceTable table = hid.deviceTable();
        change(table[0]);
        hid.setDeviceTable(table);
    }

    VirtualClock clock;
    VirtualMouse mouse;
    Hid_Thread hid;
};
