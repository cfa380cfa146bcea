#include "MouseOps.h"

#include <cmath>

namespace MouseOps {

namespace {

std::optional<qint64> integerOfDouble(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    // Saturate well inside the range so the conversion below is defined.
    constexpr double limit = 4.0e18;
    return qint64(std::trunc(std::clamp(d, -limit, limit)));
}

// Looks up a step table; steps outside it give 0.
template <std::size_t N>
uchar step(const std::array<uchar, N> &table, int index)
{
    return (index >= 0 && index < int(N)) ? table[std::size_t(index)] : 0;
}

constexpr std::array<uchar, 4> kBrightnessB = {64, 128, 192, 255};
constexpr std::array<uchar, 5> kSpeedS1 = {10, 7, 5, 3, 1};
constexpr std::array<uchar, 5> kSpeedS2 = {20, 17, 15, 13, 11};
constexpr std::array<uchar, 5> kSpeedS3 = {15, 13, 10, 7, 5};
constexpr std::array<uchar, 5> kSpeedS4 = {30, 27, 24, 22, 20};
constexpr std::array<uchar, 5> kLevelL = {1, 3, 5, 7, 10};
constexpr std::array<uchar, 5> kSpeedM = {30, 24, 18, 12, 6};

constexpr std::array<int, 12> kLimit3050 = {250, 500, 750, 1000, 1250, 1500,
                                            1750, 2000, 2500, 3000, 3500, 4000};
constexpr std::array<uchar, 12> kCode3050 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                             0x07, 0x08, 0x45, 0x46, 0x47, 0x48};

// Device key types.
enum : uchar {
    KeyCombination = 0x00,
    MouseButton = 0x01,
    Media = 0x03,
    Fixed = 0x04,
    Dpi = 0x07,
    Gun = 0x08,
    Macro = 0x09,
    Fire = 0x0A,
    GunFire = 0x0B,
};

} // namespace

std::optional<qint64> integerOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return std::nullopt;
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float:
        return integerOfDouble(value.toDouble());
    case QMetaType::ULongLong:
        // Keeps the low bits of values above the signed range.
        return qint64(value.toULongLong());
    default:
        break;
    }
    // Integers and numeric texts; a text with a fraction stands for the number it spells.
    const QVariant v = value.typeId() == QMetaType::QString ? QVariant(value.toString().trimmed()) : value;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    const double d = v.toDouble(&ok);
    return ok ? integerOfDouble(d) : std::nullopt;
}

uchar lowByte(const QVariant &value)
{
    return uchar(quint64(integerOf(value).value_or(0)) & 0xFF);
}

// ---- DPI ----

uchar dpiCode(const QString &sensorType, qint64 v, bool *highRange)
{
    if (highRange)
        *highRange = false;
    if (sensorType == QLatin1String("3360"))
        return uchar(v / 100 - 1);
    if (sensorType == QLatin1String("3050")) {
        for (std::size_t k = 0; k < kLimit3050.size(); ++k) {
            if (v <= kLimit3050[k])
                return kCode3050[k];
        }
        return 0;
    }
    if (sensorType == QLatin1String("3389")) {
        if (highRange)
            *highRange = v > 12799;
        return uchar(v / 50);
    }
    // "4090" and every sensor not named above.
    if (v <= 5000)
        return uchar(v / 100 - 1);
    return uchar((v / 200) | 0x40);
}

DpiCodes dpiCodes(const QString &sensorType, const QVariantList &dpiValues)
{
    DpiCodes out;
    out.usesHighRange = sensorType == QLatin1String("3389");
    const int n = std::min<int>(int(out.code.size()), int(dpiValues.size()));
    for (int i = 0; i < n; ++i) {
        bool high = false;
        out.code[std::size_t(i)] = dpiCode(sensorType, integerOf(dpiValues.at(i)).value_or(0), &high);
        if (high)
            out.highRange |= uchar(1u << i);
    }
    return out;
}

void markStagesOff553(DpiCodes &codes, int dpiCount, int listSize)
{
    const int end = std::min<int>(listSize, int(codes.code.size()));
    for (int i = std::max(dpiCount, 0); i < end; ++i)
        codes.code[std::size_t(i)] = 0x80;
}

uchar stageMask(int dpiCount)
{
    const int n = std::clamp(dpiCount, 0, 8);
    return uchar((1u << n) - 1u);
}

void patchDpi(ProfileBlock &block, const DpiCodes &codes, uchar mask)
{
    for (std::size_t i = 0; i < codes.code.size(); ++i) {
        block[84 + i] = codes.code[i];
        block[92 + i] = codes.code[i];
    }
    block[100] = mask;
    if (codes.usesHighRange) {
        block[82] = codes.highRange;
        block[83] = codes.highRange;
    }
}

// ---- Lighting ----

// The brightness steps count from 1, the others from 0.
uchar brightnessB(int option2) { return step(kBrightnessB, option2 - 1); }
uchar speedS1(int option1) { return step(kSpeedS1, option1); }
uchar speedS2(int option1) { return step(kSpeedS2, option1); }
uchar speedS3(int option1) { return step(kSpeedS3, option1); }
uchar speedS4(int option1) { return step(kSpeedS4, option1); }
uchar levelL(int option2) { return step(kLevelL, option2); }
uchar speedM(int option1) { return step(kSpeedM, option1); }

RgbEffect rgbEffect(bool isColorful, uchar effect, uchar option1, uchar option2)
{
    if (isColorful) {
        const uchar b = brightnessB(option2);
        switch (effect) {
        case 0: return {0x01, b, 0};
        case 1: return {0x03, 0, speedS1(option1)};
        case 2: return {0x04, 0, speedS1(option1)};
        case 4: return {0x02, b, 0};
        case 5: return {0x05, b, speedS1(option1)};
        case 6: return {0x06, 0, 0};
        case 7: return {0x07, b, 0};
        case 8: return {0x08, b, speedS2(option1)};
        case 9: return {0x09, b, speedS3(option1)};
        case 10: return {0x0A, b, speedS4(option1)};
        default: return {0x00, 0, 0};
        }
    }
    switch (effect) {
    case 0: return {0x01, levelL(option2), 1};
    case 1: return {0x02, uchar(option1 + 1), 1};
    case 2: return {0x03, speedM(option1), 1};
    case 4: return {0x02, uchar(option1 + 1), 3};
    default: return {0x00, 0, 0};
    }
}

uchar rgbOption2For553(const RgbEffect &e, bool isColorful, bool is55328)
{
    return (isColorful || is55328) ? e.param2 : uchar(2);
}

bool usesEighthColour(const std::array<uchar, 24> &colours)
{
    return colours[21] != 0 || colours[22] != 0 || colours[23] != 0;
}

// ---- Key matrix ----

void translateEntry(uchar *e, Family family)
{
    uchar &t = e[0];
    uchar &a = e[1];
    uchar &b = e[2];
    uchar &c = e[3];
    switch (t) {
    case 0x00: // mouse button; the double-fire button is a fire key on the device
        t = (b == 0x1E && c == 0x02) ? uchar(Fire) : uchar(MouseButton);
        break;
    case 0x01: t = Fire; break;
    case 0x02: t = KeyCombination; break;
    case 0x03: t = Media; break;
    case 0x04: // macro gunSlots count from 1 on the device
        t = Macro;
        b = uchar(b + 1);
        break;
    case 0x05:
        t = Dpi;
        if (b == 4) { // sniper: each family has its own entry for it
            a = 0x00;
            c = 0x01;
            if (family == Family::F560) {
                t = 0x0B;
                b = 0x01;
            }
        }
        break;
    case 0x06: t = KeyCombination; break;
    case 0x07: t = KeyCombination; break;
    case 0x08: t = Gun; break;
    case 0xFF: t = Fixed; break;
    default: break;
    }
    // The system functions with the consumer usages 0x0221, 0x0223 and 0x0194 are media keys.
    if (((b == 0x21 || b == 0x23) && c == 0x02) || (b == 0x94 && c == 0x01))
        t = Media;
}

KeyMatrix translateMatrix(const QVariantList &src64, Family family)
{
    KeyMatrix m = bytesOf<64>(src64);
    for (std::size_t k = 0; k < 16; ++k)
        translateEntry(m.data() + 4 * k, family);
    return m;
}

KeyMatrix matrixOfEntries(const std::array<QVariantList, 16> &entries)
{
    KeyMatrix m{};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const auto e = bytesOf<4>(entries[k]);
        std::copy(e.begin(), e.end(), m.begin() + 4 * k);
    }
    return m;
}

GunMatrices buildGunMatrices(const KeyMatrix &m1, const KeyMatrix &firmware,
                             const std::array<uchar, 3> &periods, Family family)
{
    GunMatrices out;
    out.m[0] = m1;
    for (std::size_t k = 0; k < 16; ++k)
        out.hasGun = out.hasGun || m1[4 * k] == Gun;
    if (!out.hasGun)
        return out;

    out.m[1] = out.m[2] = out.m[3] = firmware;
    for (std::size_t k = 0; k < 16; ++k) {
        const std::size_t at = 4 * k;
        if (m1[at] != Gun)
            continue;
        const uchar gunSlots = m1[at + 2];
        for (std::size_t n = 1; n < 4; ++n)
            out.m[n][at] = Gun;
        // The device switches matrices on the gun key; which byte tells it the matrix to go to
        // next differs between the families.
        if (family == Family::F553) {
            static constexpr uchar next[3][4] = {{1, 0, 0, 0}, {1, 2, 0, 0}, {1, 2, 3, 0}};
            for (std::size_t n = 0; n < 4; ++n) {
                if (gunSlots >= 1 && gunSlots <= 3)
                    out.m[n][at + 3] = next[gunSlots - 1][n];
                out.m[n][at + 2] = 1;
                out.m[n][at + 1] = 0;
            }
        } else if (gunSlots >= 1 && gunSlots <= 3) {
            static constexpr uchar next[3][4] = {{1, 0, 0, 0}, {1, 3, 0, 0}, {1, 3, 3, 0}};
            static constexpr uchar block0[3] = {0x07, 0x0F, 0x1F};
            for (std::size_t n = 0; n < 4; ++n)
                out.m[n][at + 2] = next[gunSlots - 1][n];
            out.block0GunByte = block0[gunSlots - 1];
        }
    }
    // Entry 0 of each gun matrix fires with the period of the gun in its slot.
    for (std::size_t n = 0; n < 3; ++n) {
        KeyMatrix &m = out.m[n + 1];
        m[0] = GunFire;
        m[1] = uchar(n);
        m[2] = periods[n];
        m[3] = 0x00;
    }
    return out;
}

// ---- Macros and gun data ----

std::optional<uchar> macroNumber(const QVariant &macroIndex)
{
    const std::optional<qint64> i = integerOf(macroIndex);
    if (!i || *i < 0 || *i > 11)
        return std::nullopt;
    return uchar(*i + 1);
}

GunData gunDataOf(const QVariantList &src)
{
    const auto b = bytesOf<3>(src);
    return {b[0], b[1], b[2]};
}

uchar gunY553(uchar y, uchar optionByte3)
{
    return optionByte3 != 0 ? uchar(-int(y)) : y;
}

void patchGun(ProfileBlock &block, const GunData &data)
{
    block[78] = 0xF0;
    block[79] = data.times;
    block[80] = data.x;
    block[81] = data.y;
    block[65] = uchar(block[65] & 0xFB);
}

bool isGunSlot(int slot)
{
    return slot >= 1 && slot <= 3;
}

} // namespace MouseOps
