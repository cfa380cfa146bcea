// Store slots of the view: each delegates to a store class. (Placeholder bodies until the store lands.)
#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "ProfileStore.h"

void myQQuickView::resetApconfig() {}
bool myQQuickView::loadMacroFile(QVariant) { return false; }
void myQQuickView::saveMacroFile(QVariant) {}
bool myQQuickView::loadProfile(int) { return false; }
void myQQuickView::saveProfile(int) {}
void myQQuickView::resetProfile(int) {}
void myQQuickView::copyProfile(int, int) {}
QStringList myQQuickView::getLangStrings(QString, QString) { return {}; }
QVariant myQQuickView::createMacroIni(QVariant, QVariant) { return true; }
QVariant myQQuickView::updataNameList(QVariant, QStringList) { return true; }
QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant, QVariant) { return false; }
void myQQuickView::deleteMacroUpdateProfile(QVariant) {}
QVariant myQQuickView::deleteMacroIni(QVariant) { return false; }
QVariantList myQQuickView::getNameList(QVariant) { return {}; }
QVariant myQQuickView::saveMacroIni(QVariant, QStringList, QVariant) { return false; }
QStringList myQQuickView::loadMacroIni(QVariant) { return {}; }
void myQQuickView::mouseSaveGundata(QVariant, QVariantList) {}
void myQQuickView::modifyGundata(QVariant, QVariantList) {}
QVariantList myQQuickView::getGunData(QVariant) { return {}; }
QStringList myQQuickView::getGunDataKey() { return {}; }
QVariant myQQuickView::getXYSensitive(QVariant) { return 4; }
QVariant myQQuickView::getselectGun(QVariant) { return QString(); }
void myQQuickView::setXYSensitive(QVariant, QVariant) {}
void myQQuickView::setSelectGun(QVariant, QVariant) {}
void myQQuickView::setCurrentProfile(int) {}
QVariant myQQuickView::getData(QVariant, bool) { return {}; }
QVariant myQQuickView::getGlobalData(QVariant) { return {}; }
QVariantList myQQuickView::getDataList(QVariant, bool) { return {}; }
void myQQuickView::setData(QVariant, QVariant) {}
void myQQuickView::setGlobalData(QVariant, QVariant) {}
void myQQuickView::setDataList(QVariant, QVariantList) {}
