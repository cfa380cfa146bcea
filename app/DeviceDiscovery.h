#pragma once

#include "DeviceEntry.h"

#include <QString>

class HidBackend;

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

} // namespace DeviceDiscovery
