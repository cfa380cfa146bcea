#pragma once

#include "VirtualMouseConfig.h"

#include <QByteArray>
#include <QList>
#include <QMap>

// Everything the virtual mouse remembers. Both families' fields are always present; a mouse only
// changes the ones its command set reaches. Byte fields keep their sizes (given below).
struct VirtualMouseMemory
{
    QByteArray keyboardOption;       // 553: 4 bytes (03H / 83H); 560: 2 bytes (01H / 81H)
    quint8 currentDpiStage = 1;      // counted from 1 (553 0BH / 8BH; 560 04H / 84H; DPI button)
    quint8 reportRate = 1;           // 553 01H; 560 03H
    quint8 dpiStageCount = 4;        // 553 11H p1
    QByteArray dpiStageCodes;        // 553 11H: 8 codes, 0x80 = stage off
    quint8 ledColorType = 0;         // 553 10H p1
    QByteArray ledColors;            // 553 10H: 24 bytes, 8 × red, green, blue
    QByteArray fixLedColor;          // 553 0CH: red, green, blue
    QByteArray ledEffect;            // 553 0DH: effect, option1, option2
    QList<QByteArray> keyMatrices;   // 4 × 64 bytes, matrix 1 first (553 12H; 560 0DH)
    QMap<int, QByteArray> macros;    // 128 bytes each, by macro number counted from 1 (553 13H; 560 0FH)
    quint8 currentKeyMatrix = 0;     // 553 02H
    quint8 currentProfile = 1;       // 560 02H / 82H
    QList<QByteArray> profileBlocks; // 560: 5 × 128 bytes (0CH / 8CH)
    QList<QByteArray> gunSlots;      // 553 04H: 3 × (times, X, Y), slot 0 first

    // What a mouse fresh from the factory holds: a few DPI stages, lighting, the buttons' default
    // functions, and in the profile blocks the program's fields at plausible values with every other
    // byte holding a firmware pattern that the program must carry unchanged.
    static VirtualMouseMemory initial(const VirtualMouseConfig &config);

    // Pads or cuts every field to its size, so that a memory set by a test cannot overrun.
    void normalise(const VirtualMouseConfig &config);

    bool operator==(const VirtualMouseMemory &other) const;
    bool operator!=(const VirtualMouseMemory &other) const { return !(*this == other); }
};
