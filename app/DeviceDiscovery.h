#pragma once

#include "DeviceEntry.h"
#include "HidBackend.h"

#include <QList>
#include <QString>

class Hid_Thread;

// Reading the device table and finding each entry's interfaces: the parts of the device check that
// need neither a window nor a device.
namespace DeviceDiscovery {

// A deviceCount beyond this is treated as this many: a garbled file must not make the check loop
// or allocate without bound.
constexpr int maxDeviceCount = 64;

// Hexadecimal text without prefix; text that is not a number reads as 0.
quint16 parseHex16(const QString &text);
int parseHexInt(const QString &text);

// The table of ./modules/setting/apConfig.bin, one entry per group 0 … deviceCount − 1, paths empty.
DeviceTable readDeviceTable(const QString &apConfigPath);

// Fills commandPath and eventPath of every entry from an enumeration by its vid and pid; the last
// matching interface wins and one interface may fill both. A failed enumeration leaves both empty.
void locateInterfaces(HidBackend &backend, DeviceTable &table);

// Why a check connected nothing, most useful first: a mouse the user may not open (the udev rule is
// missing or not loaded, or the mouse was plugged in before it was), a mouse that is there but did
// not answer the challenge, or no mouse of the table at all.
enum class NoMouseReason { NoDevice, PermissionDenied, NoAnswer };

struct CheckOutcome
{
    bool connected = false;
    NoMouseReason reason = NoMouseReason::NoDevice;
    // The command interface the reason is about; empty for NoDevice.
    QString path;

    bool operator==(const CheckOutcome &o) const
    {
        return connected == o.connected && (connected || (reason == o.reason && path == o.path));
    }
    bool operator!=(const CheckOutcome &o) const { return !(*this == o); }
};

// One probed candidate that failed: its command interface and what opening it says now.
struct FailedProbe
{
    QString path;
    HidOpenFailure failure = HidOpenFailure::Other;
};

// The outcome of a check in which no candidate connected. A candidate that opens (or fails for a
// reason other than permission) but failed the challenge did not answer; one gone meanwhile counts
// as absent.
CheckOutcome noMouseOutcome(const QList<FailedProbe> &probes);

// The device check's probe: the entries that have a command interface, in table order, until one
// answers the challenge (which makes it the gateway's current entry). Its index, or -1 when none
// did; each that failed goes to *failed with what opening its command interface says now.
int probeEntries(Hid_Thread &hid, const DeviceTable &table, QList<FailedProbe> *failed);

// The line logged when the outcome changes, e.g. "No mouse: permission denied on /dev/hidraw3 …".
QString describe(const CheckOutcome &outcome);

} // namespace DeviceDiscovery
