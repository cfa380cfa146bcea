// Device slots of the view. (Placeholder bodies until the mouse operations land.)
#include "myQQuickView.h"

QVariant myQQuickView::mouseSendMacroData(QVariantList, QVariant) { return true; }
void myQQuickView::mouseSendGundata(int, QVariantList) {}
void myQQuickView::mouseSetKeyboardoption(uchar, uchar, uchar, uchar) {}
void myQQuickView::mouseSetReportRate(uchar) {}
void myQQuickView::mouseSetCurrentDPI(uchar) {}
void myQQuickView::mouseResetKeyMatrix() {}
QVariant myQQuickView::mouseGetCurrentDPI() { return 0; }
void myQQuickView::mouseSetKeyMatrix(QVariantList, bool, QVariantList) {}
void myQQuickView::mouseSetDpi(int, QString, QVariantList) {}
void myQQuickView::mouseSetRGBEffect(uchar, uchar, uchar) {}
void myQQuickView::mouseSetRGBColor(uchar, QVariantList) {}
void myQQuickView::mouseSetProfile(uint) {}
void myQQuickView::mouseReadProfile(uint) {}
QVariant myQQuickView::mouseReadCurrentProfile() { return 0; }
void myQQuickView::mouseSwitchKeyMatrix(int) {}
QVariantList myQQuickView::GetKeyboardoption() { return {0, 0, 0, 0}; }
QVariantList myQQuickView::mouseGetKeydefine(QVariant, bool) { return {}; }
