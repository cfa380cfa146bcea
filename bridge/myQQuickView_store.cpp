// Store slots of the view: each converts the documents' variants and delegates to a store class.
#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "DialogFileChooser.h"
#include "GunDataStore.h"
#include "LanguageStore.h"
#include "MacroStore.h"
#include "NameListStore.h"
#include "ProfileStore.h"

#include <QJSValue>

namespace {

// Arrays and objects from the documents can arrive wrapped in a script value.
QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

QVariantList plainList(const QVariantList &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariant &v : list)
        out.append(plain(v));
    return out;
}

} // namespace

// Runs f with the test's chooser when one is set, else with real dialogs parented to the view.
template <typename F>
static auto withChooser(FileChooser *chooser, QWidget *parent, F f)
{
    if (chooser)
        return f(*chooser);
    DialogFileChooser dialogs(parent);
    return f(dialogs);
}

void myQQuickView::resetApconfig()
{
    m_appConfig->resetApconfig();
}

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    return withChooser(m_fileChooser, this, [&](FileChooser &c) {
        return MacroStore(m_modulesDir).loadMacroFile(macroFileName.toString(), c);
    });
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    withChooser(m_fileChooser, this, [&](FileChooser &c) {
        MacroStore(m_modulesDir).saveMacroFile(macroFileName.toString(), c);
    });
}

bool myQQuickView::loadProfile(int profile)
{
    return withChooser(m_fileChooser, this,
                       [&](FileChooser &c) { return m_profiles->loadProfile(profile, c); });
}

void myQQuickView::saveProfile(int profile)
{
    withChooser(m_fileChooser, this, [&](FileChooser &c) { m_profiles->saveProfile(profile, c); });
}

void myQQuickView::resetProfile(int profile)
{
    m_profiles->resetProfile(profile);
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    m_profiles->copyProfile(destprofile, srcprofile);
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return LanguageStore(m_modulesDir).getLangStrings(typeStr, langCode);
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return MacroStore(m_modulesDir).createMacroIni(name.toString(), macroIndex.toUInt());
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return NameListStore(m_modulesDir).updataNameList(type.toUInt(), nameList);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return MacroStore(m_modulesDir)
        .modifyMacroNameUpdateProfile(oldname.toString(), newname.toString(), *m_profiles);
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    MacroStore(m_modulesDir).deleteMacroUpdateProfile(macroName.toString(), *m_profiles);
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    return MacroStore(m_modulesDir).deleteMacroIni(name.toString());
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return NameListStore(m_modulesDir).getNameList(type.toUInt());
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return MacroStore(m_modulesDir).saveMacroIni(name.toString(), macros, plain(repeat));
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return MacroStore(m_modulesDir).loadMacroIni(name.toString());
}

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    GunDataStore(m_modulesDir).mouseSaveGundata(index.toString(), plainList(src6));
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    GunDataStore(m_modulesDir).modifyGundata(modifyType.toInt(), plainList(src6));
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return GunDataStore(m_modulesDir).getGunData(name.toString());
}

QStringList myQQuickView::getGunDataKey()
{
    return GunDataStore(m_modulesDir).getGunDataKey();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return m_profiles->getXYSensitive(index.toString());
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return m_profiles->getSelectGun(index.toString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    m_profiles->setXYSensitive(index.toString(), plain(xyData));
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    m_profiles->setSelectGun(index.toString(), plain(xyData));
}

void myQQuickView::setCurrentProfile(int profile)
{
    m_profiles->setCurrentProfile(profile);
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    return m_profiles->getData(key.toString(), isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return m_appConfig->getGlobalData(key.toString());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return m_profiles->getDataList(key.toString(), isRecovery);
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    m_profiles->setData(key.toString(), plain(data));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    m_appConfig->setGlobalData(key.toString(), plain(tmpdata));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    m_profiles->setDataList(key.toString(), plainList(datalist));
}
