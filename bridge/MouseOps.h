#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <algorithm>
#include <array>
#include <optional>

// What the view's device slots compute before they send: DPI stage codes, lighting values, the key
// matrix in the device encoding with its gun matrices, macro and gun bytes. Plain functions over
// plain data, so that every table can be checked without a device. Values handed over by the UI
// documents arrive as variants; everything here takes what it can from them and fills the rest
// with 0, and never reads or writes past its fixed-size buffers.
namespace MouseOps {

using ProfileBlock = std::array<uchar, 128>;
// 16 entries of four bytes (type, a, b, c), entry k at offset 4k.
using KeyMatrix = std::array<uchar, 64>;

// The two command sets differ in the sniper entry, the gun matrices and how they are sent.
enum class Family { F553, F560 };

// ---- Variant handling ----

// The whole number a variant stands for: numbers truncated toward zero, numeric texts parsed,
// booleans as 0/1. Nothing for invalid, non-numeric or non-finite values.
std::optional<qint64> integerOf(const QVariant &value);
// The low 8 bits of integerOf, 0 when there is none.
uchar lowByte(const QVariant &value);

// The low 8 bits of the first N values; missing values count as 0, further values are ignored.
template <std::size_t N>
std::array<uchar, N> bytesOf(const QVariantList &values)
{
    std::array<uchar, N> out{};
    const std::size_t n = std::min<std::size_t>(N, std::size_t(values.size()));
    for (std::size_t i = 0; i < n; ++i)
        out[i] = lowByte(values.at(int(i)));
    return out;
}

// ---- DPI ----

struct DpiCodes
{
    std::array<uchar, 8> code{};
    uchar highRange = 0;        // bit i: stage i + 1 is above 12799 DPI (sensor "3389" only)
    bool usesHighRange = false; // the sensor has the high-range bits at all
};

// The stage code of one DPI value for the named sensor; sets *highRange when the value needs the
// high-range bit ("3389" above 12799).
uchar dpiCode(const QString &sensorType, qint64 dpi, bool *highRange = nullptr);
// Codes of the first eight values of the list; stages without a value keep code 0.
DpiCodes dpiCodes(const QString &sensorType, const QVariantList &dpiValues);
// 553: the stages at or beyond dpiCount that the list holds are switched off (0x80).
void markStagesOff553(DpiCodes &codes, int dpiCount, int listSize);
// 560: the enabled-stage mask, the low dpiCount bits (dpiCount clamped to 0..8).
uchar stageMask(int dpiCount);
// 560: writes the codes, their copy, the mask and (for "3389") the high-range bytes into a block.
void patchDpi(ProfileBlock &block, const DpiCodes &codes, uchar mask);

// ---- Lighting ----

uchar brightnessB(int option2);
uchar speedS1(int option1);
uchar speedS2(int option1);
uchar speedS3(int option1);
uchar speedS4(int option1);
uchar levelL(int option2);
uchar speedM(int option1);

struct RgbEffect
{
    uchar code = 0;
    uchar param1 = 0;
    uchar param2 = 0;
    bool operator==(const RgbEffect &o) const
    {
        return code == o.code && param1 == o.param1 && param2 == o.param2;
    }
};

// The device's effect code and parameters for the lighting page's effect, speed and brightness.
RgbEffect rgbEffect(bool isColorful, uchar effect, uchar option1, uchar option2);
// The third byte a 553 mouse receives: param2 on colourful and 55328 models, else 2.
uchar rgbOption2For553(const RgbEffect &e, bool isColorful, bool is55328);
// On a 55328 model the eighth colour decides between the 8-colour command and the fixed colour.
bool usesEighthColour(const std::array<uchar, 24> &colours);

// ---- Key matrix ----

// One entry from the UI's classes into the device encoding, with the media rule applied after.
void translateEntry(uchar *entry, Family family);
// The key matrix of 64 UI values (missing values 0), translated.
KeyMatrix translateMatrix(const QVariantList &src64, Family family);
// A matrix from 16 stored entries (each a list of up to four values; missing values 0).
KeyMatrix matrixOfEntries(const std::array<QVariantList, 16> &entries);

struct GunMatrices
{
    std::array<KeyMatrix, 4> m{}; // key matrices 1 to 4
    bool hasGun = false;           // some entry of matrix 1 is a gun key
    std::optional<uchar> block0GunByte; // 560: what byte 2 of profile block 0 becomes
};

// Matrix 1 as given; with a gun key matrices 2 to 4 are made from the firmware matrix, one per gun
// slot, with the fire periods of the three slotted guns in their entry 0.
GunMatrices buildGunMatrices(const KeyMatrix &m1, const KeyMatrix &firmware,
                             const std::array<uchar, 3> &periods, Family family);

// ---- Macros and gun data ----

// The device's macro number (slot + 1) for a macro slot 0 to 11; nothing for anything else.
std::optional<uchar> macroNumber(const QVariant &macroIndex);

struct GunData
{
    uchar times = 0;
    uchar x = 0;
    uchar y = 0;
};
GunData gunDataOf(const QVariantList &src);
// The Y a 553 mouse receives: negated (in 8 bits) when the third keyboard option byte is set.
uchar gunY553(uchar y, uchar optionByte3);
// 560: the gun bytes of a device profile block.
void patchGun(ProfileBlock &block, const GunData &data);
// The gun page's slots are 1 to 3; the 553 mouse has no other and on the 560 each lives in device
// profile block slot + 1.
bool isGunSlot(int slot);

} // namespace MouseOps
