// Device slots of the view: they hand what the documents give them to MouseCommands, which the
// command-line tool uses as well. Without a device object they send nothing.
#include "myQQuickView.h"

#include "MouseCommands.h"
#include "ProfileStore.h"

MouseCommands myQQuickView::mouseCommands()
{
    return MouseCommands(hid, m_flags, profileBlocks);
}

// ---- Profile, DPI, report rate, lighting ----

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    mouseCommands().setKeyboardOption(byte1, byte2, byte3, byte4);
}

QVariantList myQQuickView::GetKeyboardoption()
{
    const std::array<uchar, 4> b = mouseCommands().keyboardOption();
    return {int(b[0]), int(b[1]), int(b[2]), int(b[3])};
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    mouseCommands().setReportRate(rate);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    mouseCommands().setCurrentDpi(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    return mouseCommands().currentDpi();
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    mouseCommands().setDpi(dpiCount, sensorType, dpiValueArray);
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    mouseCommands().setRgbEffect(effect, option1, option2);
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    mouseCommands().setRgbColor(type, src24);
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
    mouseCommands().writeProfileBlock(profileNo);
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    mouseCommands().readProfileBlock(profileNo);
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    return mouseCommands().currentProfile();
}

// ---- Key matrix, key definitions, macro and gun transfer ----

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    mouseCommands().setKeyMatrix(*m_profiles, src64, isSendData, otherParam);
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    return m_profiles->getDataList(QStringLiteral("mouseKeyMatrix/") + index.toString(), isRecovery);
}

void myQQuickView::mouseResetKeyMatrix()
{
    mouseCommands().resetKeyMatrix(*m_profiles);
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    mouseCommands().switchKeyMatrix(indexNo);
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    mouseCommands().sendMacroData(macroData, macroIndex);
    return true;
}

void myQQuickView::mouseSendGundata(int index, QVariantList src)
{
    mouseCommands().sendGunData(index, src);
}
