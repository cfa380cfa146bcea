#pragma once

#include <QList>
#include <QString>

// One row of the device table: what the configuration says about a supported device, plus the two
// interface paths that enumeration found for it (empty when not found).
struct DeviceEntry
{
    int type = -1;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 usagePage2 = 0;
    quint16 usage2 = 0;
    int reportLength = 32;
    bool isEncode = false;
    QString sCode = QStringLiteral("583014");
    QString commandPath;
    QString eventPath;
};

using DeviceTable = QList<DeviceEntry>;
