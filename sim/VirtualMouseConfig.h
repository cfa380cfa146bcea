#pragma once

#include "DeviceEntry.h"

#include <QString>

#include <optional>

// What the virtual mouse plays: its identity on the bus, its two interfaces, its report length and
// whether its command reports are enciphered with which secrecy code.
struct VirtualMouseConfig
{
    // "553" or "560": which command set the firmware answers.
    QString family = QStringLiteral("553");
    quint16 vid = 0x04d9;
    quint16 pid = 0xa1ee;
    // Command interface.
    quint16 usagePage = 0xff00;
    quint16 usage = 0xff00;
    // Event interface. Equal to the command interface's: the mouse has one interface for both.
    quint16 usagePage2 = 0xff01;
    quint16 usage2 = 0xff01;
    // Data bytes per data-phase report, without the report ID.
    int reportLength = 32;
    bool isEncode = false;
    // Six characters; their ASCII codes key the cipher.
    QString sCode = QStringLiteral("583014");
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
