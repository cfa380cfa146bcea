#pragma once

#include "DeviceEntry.h"

#include <QString>

#include <optional>

// What the virtual mouse plays. Its identity on the bus is the device-table row that names it (ids,
// the usage pages and usages of its command and event interfaces, report length, cipher and
// secrecy code); an event interface equal to the command interface makes one interface for both.
struct VirtualMouseConfig : DeviceEntry
{
    VirtualMouseConfig()
    {
        type = 1;
        vid = 0x04d9;
        pid = 0xa1ee;
        usagePage = usage = 0xff00;
        usagePage2 = usage2 = 0xff01;
    }

    // "553" or "560": which command set the firmware answers.
    QString family = QStringLiteral("553");
    // Model features that only shape the initial memory (colour zones, gun profiles).
    bool isGun = false;
    bool isColorful = false;

    bool is560() const { return family == QLatin1String("560"); }
    bool sharesOneInterface() const { return usagePage == usagePage2 && usage == usage2; }
    // The device-table row that names this mouse (type 1, no paths).
    DeviceEntry deviceEntry() const;
};

// Reads the demo's model file (section [mouse]; numbers in hexadecimal without prefix as in the
// device table). std::nullopt, with the reason in *error, when the file is missing or a value is
// unusable: a family other than 553/560, a report length other than 32/64, an sCode that is not six
// characters, an id that is not hexadecimal.
std::optional<VirtualMouseConfig> loadVirtualMouseConfig(const QString &iniPath, QString *error = nullptr);
