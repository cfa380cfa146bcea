// Device slots of the view: they collect what the documents hand over, let MouseOps compute the
// device values and send them through `hid`. Without a device object they send nothing.
#include "myQQuickView.h"

#include "Hid_Thread.h"
#include "MouseOps.h"
#include "ProfileStore.h"

using namespace MouseOps;

namespace {

constexpr int kBlockCount = 5;

Family familyOf(const ModelFlags &flags)
{
    return flags.is560() ? Family::F560 : Family::F553;
}

QString keyMatrixKey(int k)
{
    return QStringLiteral("mouseKeyMatrix/") + QString::number(k);
}

void writeBlock(myQQuickView &view, int n)
{
    view.hid->hid560_0CH_setProfile(view.profileBlocks[std::size_t(n)].data(), uchar(n));
}

// Blocks 1 to 4 are the device profiles; a model without the gun functions only uses the first.
int usedDeviceProfiles(const ModelFlags &flags)
{
    return flags.isGun ? 4 : 1;
}

template <typename Patch>
void patchDeviceProfiles(myQQuickView &view, Patch patch)
{
    for (int n = 1; n <= 4; ++n)
        patch(view.profileBlocks[std::size_t(n)]);
}

void writeDeviceProfiles(myQQuickView &view)
{
    for (int n = 1; n <= usedDeviceProfiles(view.modelFlags()); ++n)
        writeBlock(view, n);
}

// Key matrix `number` (1 to 4) in the family's command.
void sendKeyMatrix(myQQuickView &view, KeyMatrix &matrix, int number)
{
    if (view.modelFlags().is560())
        view.hid->hid560_0DH_SetKeyMatrix(matrix.data(), uchar(number));
    else
        view.hid->hid553_12H_SetKeyMatrix(matrix.data(), uchar(number));
}

// A one-byte setting that each family has under its own command.
void sendByFamily(myQQuickView &view, void (Hid_Thread::*command560)(uchar),
                  void (Hid_Thread::*command553)(uchar), uchar value)
{
    if (view.hid)
        (view.hid->*(view.modelFlags().is560() ? command560 : command553))(value);
}

KeyMatrix firmwareMatrix(const ProfileStore &profiles)
{
    std::array<QVariantList, 16> entries;
    for (int k = 0; k < 16; ++k)
        entries[std::size_t(k)] = profiles.getDataList(QStringLiteral("mouseFwKeyMatrix/") + QString::number(k), false);
    return matrixOfEntries(entries);
}

} // namespace

// ---- Profile, DPI, report rate, lighting ----

// A 560 mouse keeps two option bytes under its own codes; its 03H is the report rate, which the
// 553 option command would overwrite.
void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (!hid)
        return;
    if (m_flags.is560())
        hid->hid560_01H_SetKeyboardoption(byte1, byte2);
    else
        hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

QVariantList myQQuickView::GetKeyboardoption()
{
    uchar b[4] = {0, 0, 0, 0};
    if (hid && m_flags.is560())
        hid->hid560_81H_GetKeyboardoption(b[0], b[1]);
    else if (hid)
        hid->hid553_83H_GetKeyboardoption(b[0], b[1], b[2], b[3]);
    return {int(b[0]), int(b[1]), int(b[2]), int(b[3])};
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    sendByFamily(*this, &Hid_Thread::hid560_03H_SetReportRate, &Hid_Thread::hid553_01H_SetReportRate, rate);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    sendByFamily(*this, &Hid_Thread::hid560_04H_SetCurrentDPI, &Hid_Thread::hid553_0BH_SetCurrentDPI,
                 currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    if (!hid)
        return 0;
    if (m_flags.is560()) {
        uchar which = 1;
        uchar stage = 0;
        hid->hid560_84H_GetCurrentDPI(which, stage);
        return int(stage);
    }
    uchar stage = 0;
    hid->hid553_8BH_GetCurrentDPI(stage);
    return int(stage);
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    if (!hid)
        return;
    DpiCodes codes = dpiCodes(sensorType, dpiValueArray);
    if (!m_flags.is560()) {
        markStagesOff553(codes, dpiCount, int(dpiValueArray.size()));
        hid->hid553_11H_SetDPISet(uchar(dpiCount), codes.code.data());
        return;
    }
    const uchar mask = stageMask(dpiCount);
    patchDeviceProfiles(*this, [&](ProfileBlock &block) { patchDpi(block, codes, mask); });
    writeDeviceProfiles(*this);
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    if (!hid)
        return;
    const RgbEffect e = rgbEffect(m_flags.isColorful, effect, option1, option2);
    if (!m_flags.is560()) {
        hid->hid553_0DH_SetRGBLedEffect(e.code, e.param1,
                                        rgbOption2For553(e, m_flags.isColorful, m_flags.is55328));
        return;
    }
    // Plain models take 2 as the third value, except that a model with one device profile wants 3.
    const uchar param2 = m_flags.isColorful ? e.param2 : uchar(2);
    patchDeviceProfiles(*this, [&](ProfileBlock &block) {
        block[71] = e.code;
        block[72] = e.param1;
        block[73] = param2;
    });
    if (!m_flags.isColorful && !m_flags.isGun)
        profileBlocks[1][73] = 3;
    writeDeviceProfiles(*this);
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    if (!hid)
        return;
    std::array<uchar, 24> c = bytesOf<24>(src24);
    if (m_flags.is560()) {
        const int block = m_flags.isColorful ? 0 : 1;
        const std::size_t at = m_flags.isColorful ? 24 : 104;
        std::copy(c.begin(), c.end(), profileBlocks[std::size_t(block)].begin() + at);
        writeBlock(*this, block);
    } else if (!m_flags.is55328) {
        hid->hid553_10H_SetLED8StageColor(type, c.data());
        hid->hid553_10H_SetLED8StageColor(type, c.data());
    } else if (usesEighthColour(c)) {
        hid->hid553_10H_SetLED8StageColor(0, c.data());
    } else {
        hid->hid553_0CH_SetFixLEDColor(c.data());
    }
}

// profileNo counts device blocks 0 to 4; anything else would reach past profileBlocks.
void myQQuickView::mouseSetProfile(uint profileNo)
{
    if (hid && profileNo < kBlockCount)
        writeBlock(*this, int(profileNo));
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (hid && profileNo < kBlockCount)
        hid->hid560_8CH_readProfile(profileBlocks[profileNo].data(), uchar(profileNo));
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    uchar profile = 0;
    if (hid)
        hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

// ---- Key matrix, key definitions, macro and gun transfer ----

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    // The store keeps the UI's values whatever the device does.
    for (int k = 0; k < 16; ++k) {
        QVariantList entry;
        for (int i = 4 * k; i < 4 * k + 4; ++i)
            entry << (i < src64.size() ? integerOf(src64.at(i)).value_or(0) : qint64(0));
        m_profiles->setDataList(keyMatrixKey(k), entry);
    }
    if (!isSendData || !hid)
        return;

    const Family family = familyOf(m_flags);
    const KeyMatrix m1 = translateMatrix(src64, family);
    GunMatrices g = buildGunMatrices(m1, firmwareMatrix(*m_profiles), bytesOf<3>(otherParam), family);
    if (!g.hasGun) {
        sendKeyMatrix(*this, g.m[0], 1);
        return;
    }
    if (family == Family::F560) {
        if (g.block0GunByte)
            profileBlocks[0][2] = *g.block0GunByte;
        writeBlock(*this, 0);
    }
    for (int n = 0; n < 4; ++n)
        sendKeyMatrix(*this, g.m[std::size_t(n)], n + 1);
    if (family == Family::F560)
        hid->hid560_02H_SetCurrentProfile(1);
    else
        hid->hid553_02H_SetCurrentKeyMatrix(1);
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    return m_profiles->getDataList(QStringLiteral("mouseKeyMatrix/") + index.toString(), isRecovery);
}

void myQQuickView::mouseResetKeyMatrix()
{
    if (!hid)
        return;
    KeyMatrix firmware = firmwareMatrix(*m_profiles);
    for (int n = 2; n <= 4; ++n)
        sendKeyMatrix(*this, firmware, n);
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    if (!hid)
        return;
    if (m_flags.is560())
        hid->hid560_02H_SetCurrentProfile(uchar(indexNo));
    else
        hid->hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    const std::optional<uchar> number = macroNumber(macroIndex);
    if (!hid || !number)
        return true;
    std::array<uchar, 128> block = bytesOf<128>(macroData);
    if (m_flags.is560())
        hid->hid560_0FH_SetMacroKey(*number, block.data());
    else
        hid->hid553_13H_SetMacroKey(*number, block.data());
    return true;
}

void myQQuickView::mouseSendGundata(int index, QVariantList src)
{
    if (!m_flags.isGun || !hid || !isGunSlot(index))
        return;
    const GunData data = gunDataOf(src);
    if (m_flags.is560()) {
        patchGun(profileBlocks[std::size_t(index + 1)], data);
        writeBlock(*this, index + 1);
        return;
    }
    uchar option[4] = {0, 0, 0, 0};
    hid->hid553_83H_GetKeyboardoption(option[0], option[1], option[2], option[3]);
    hid->hid553_04H_SetGunData(data.times, data.x, gunY553(data.y, option[2]), uchar(index - 1));
}
