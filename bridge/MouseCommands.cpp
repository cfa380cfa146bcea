#include "MouseCommands.h"

#include "Hid_Thread.h"
#include "ProfileStore.h"

using namespace MouseOps;

namespace {

constexpr uint kBlockCount = 5;

QString keyMatrixKey(int k)
{
    return QStringLiteral("mouseKeyMatrix/") + QString::number(k);
}

} // namespace

MouseCommands::MouseCommands(Hid_Thread *hid, const ModelFlags &flags, Blocks &profileBlocks)
    : m_hid(hid), m_flags(flags), m_blocks(profileBlocks)
{
}

void MouseCommands::writeBlock(int n)
{
    m_hid->hid560_0CH_setProfile(m_blocks[std::size_t(n)].data(), uchar(n));
}

// Blocks 1 to 4 are the device profiles; a model without the gun functions only uses the first.
void MouseCommands::writeDeviceProfiles()
{
    const int used = m_flags.isGun ? 4 : 1;
    for (int n = 1; n <= used; ++n)
        writeBlock(n);
}

// Key matrix `number` (1 to 4) in the family's command.
void MouseCommands::sendMatrix(KeyMatrix &matrix, int number)
{
    if (is560())
        m_hid->hid560_0DH_SetKeyMatrix(matrix.data(), uchar(number));
    else
        m_hid->hid553_12H_SetKeyMatrix(matrix.data(), uchar(number));
}

KeyMatrix MouseCommands::firmwareMatrix(const ProfileStore &profiles)
{
    std::array<QVariantList, 16> entries;
    for (int k = 0; k < 16; ++k)
        entries[std::size_t(k)] =
            profiles.getDataList(QStringLiteral("mouseFwKeyMatrix/") + QString::number(k), false);
    return matrixOfEntries(entries);
}

// ---- Profile, DPI, report rate, lighting ----

// A 560 mouse keeps two option bytes under its own codes; its 03H is the report rate, which the
// 553 option command would overwrite.
void MouseCommands::setKeyboardOption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (!m_hid)
        return;
    if (is560())
        m_hid->hid560_01H_SetKeyboardoption(byte1, byte2);
    else
        m_hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

std::array<uchar, 4> MouseCommands::keyboardOption()
{
    std::array<uchar, 4> b{};
    if (m_hid && is560())
        m_hid->hid560_81H_GetKeyboardoption(b[0], b[1]);
    else if (m_hid)
        m_hid->hid553_83H_GetKeyboardoption(b[0], b[1], b[2], b[3]);
    return b;
}

void MouseCommands::setReportRate(uchar rate)
{
    if (!m_hid)
        return;
    if (is560())
        m_hid->hid560_03H_SetReportRate(rate);
    else
        m_hid->hid553_01H_SetReportRate(rate);
}

void MouseCommands::setCurrentDpi(uchar stage)
{
    if (!m_hid)
        return;
    if (is560())
        m_hid->hid560_04H_SetCurrentDPI(stage);
    else
        m_hid->hid553_0BH_SetCurrentDPI(stage);
}

int MouseCommands::currentDpi()
{
    if (!m_hid)
        return 0;
    if (is560()) {
        uchar which = 1;
        uchar stage = 0;
        m_hid->hid560_84H_GetCurrentDPI(which, stage);
        return int(stage);
    }
    uchar stage = 0;
    m_hid->hid553_8BH_GetCurrentDPI(stage);
    return int(stage);
}

void MouseCommands::setDpi(int dpiCount, const QString &sensorType, const QVariantList &dpiValues)
{
    if (!m_hid)
        return;
    DpiCodes codes = dpiCodes(sensorType, dpiValues);
    if (!is560()) {
        markStagesOff553(codes, dpiCount, int(dpiValues.size()));
        m_hid->hid553_11H_SetDPISet(uchar(dpiCount), codes.code.data());
        return;
    }
    const uchar mask = stageMask(dpiCount);
    for (std::size_t n = 1; n <= 4; ++n)
        patchDpi(m_blocks[n], codes, mask);
    writeDeviceProfiles();
}

void MouseCommands::setRgbEffect(uchar effect, uchar option1, uchar option2)
{
    if (!m_hid)
        return;
    const RgbEffect e = rgbEffect(m_flags.isColorful, effect, option1, option2);
    if (!is560()) {
        m_hid->hid553_0DH_SetRGBLedEffect(e.code, e.param1,
                                          rgbOption2For553(e, m_flags.isColorful, m_flags.is55328));
        return;
    }
    // Plain models take 2 as the third value, except that a model with one device profile wants 3.
    const uchar param2 = m_flags.isColorful ? e.param2 : uchar(2);
    for (std::size_t n = 1; n <= 4; ++n) {
        m_blocks[n][71] = e.code;
        m_blocks[n][72] = e.param1;
        m_blocks[n][73] = param2;
    }
    if (!m_flags.isColorful && !m_flags.isGun)
        m_blocks[1][73] = 3;
    writeDeviceProfiles();
}

void MouseCommands::setRgbColor(uchar type, const QVariantList &src24)
{
    if (!m_hid)
        return;
    std::array<uchar, 24> c = bytesOf<24>(src24);
    if (is560()) {
        const int block = m_flags.isColorful ? 0 : 1;
        const std::size_t at = m_flags.isColorful ? 24 : 104;
        std::copy(c.begin(), c.end(), m_blocks[std::size_t(block)].begin() + at);
        writeBlock(block);
    } else if (!m_flags.is55328) {
        m_hid->hid553_10H_SetLED8StageColor(type, c.data());
        m_hid->hid553_10H_SetLED8StageColor(type, c.data());
    } else if (usesEighthColour(c)) {
        m_hid->hid553_10H_SetLED8StageColor(0, c.data());
    } else {
        m_hid->hid553_0CH_SetFixLEDColor(c.data());
    }
}

// n counts device blocks 0 to 4; anything else would reach past the blocks.
void MouseCommands::writeProfileBlock(uint n)
{
    if (m_hid && n < kBlockCount)
        writeBlock(int(n));
}

void MouseCommands::readProfileBlock(uint n)
{
    if (m_hid && n < kBlockCount)
        m_hid->hid560_8CH_readProfile(m_blocks[n].data(), uchar(n));
}

void MouseCommands::readProfileBlocksOnConnect()
{
    if (!is560())
        return;
    const uint blocks = m_flags.isGun ? 5 : 2;
    for (uint n = 0; n < blocks; ++n)
        readProfileBlock(n);
}

int MouseCommands::currentProfile()
{
    uchar profile = 0;
    if (m_hid)
        m_hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

// ---- Key matrix, macro and gun transfer ----

void MouseCommands::setKeyMatrix(ProfileStore &profiles, const QVariantList &src64, bool isSendData,
                                 const QVariantList &gunPeriods)
{
    // The store keeps the UI's values whatever the device does.
    for (int k = 0; k < 16; ++k) {
        QVariantList entry;
        for (int i = 4 * k; i < 4 * k + 4; ++i)
            entry << (i < src64.size() ? integerOf(src64.at(i)).value_or(0) : qint64(0));
        profiles.setDataList(keyMatrixKey(k), entry);
    }
    if (!isSendData || !m_hid)
        return;

    const Family family = is560() ? Family::F560 : Family::F553;
    const KeyMatrix m1 = translateMatrix(src64, family);
    GunMatrices g = buildGunMatrices(m1, firmwareMatrix(profiles), bytesOf<3>(gunPeriods), family);
    if (!g.hasGun) {
        sendMatrix(g.m[0], 1);
        return;
    }
    if (family == Family::F560) {
        if (g.block0GunByte)
            m_blocks[0][2] = *g.block0GunByte;
        writeBlock(0);
    }
    for (int n = 0; n < 4; ++n)
        sendMatrix(g.m[std::size_t(n)], n + 1);
    if (family == Family::F560)
        m_hid->hid560_02H_SetCurrentProfile(1);
    else
        m_hid->hid553_02H_SetCurrentKeyMatrix(1);
}

void MouseCommands::resetKeyMatrix(const ProfileStore &profiles)
{
    if (!m_hid)
        return;
    KeyMatrix firmware = firmwareMatrix(profiles);
    for (int n = 2; n <= 4; ++n)
        sendMatrix(firmware, n);
}

void MouseCommands::switchKeyMatrix(int indexNo)
{
    if (!m_hid)
        return;
    if (is560())
        m_hid->hid560_02H_SetCurrentProfile(uchar(indexNo));
    else
        m_hid->hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
}

void MouseCommands::sendMacroData(const QVariantList &macroData, const QVariant &macroIndex)
{
    const std::optional<uchar> number = macroNumber(macroIndex);
    if (!m_hid || !number)
        return;
    std::array<uchar, 128> block = bytesOf<128>(macroData);
    if (is560())
        m_hid->hid560_0FH_SetMacroKey(*number, block.data());
    else
        m_hid->hid553_13H_SetMacroKey(*number, block.data());
}

void MouseCommands::sendGunData(int slot, const QVariantList &src)
{
    if (!m_flags.isGun || !m_hid || !isGunSlot(slot))
        return;
    const GunData data = gunDataOf(src);
    if (is560()) {
        patchGun(m_blocks[std::size_t(slot + 1)], data);
        writeBlock(slot + 1);
        return;
    }
    uchar option[4] = {0, 0, 0, 0};
    m_hid->hid553_83H_GetKeyboardoption(option[0], option[1], option[2], option[3]);
    m_hid->hid553_04H_SetGunData(data.times, data.x, gunY553(data.y, option[2]), uchar(slot - 1));
}
