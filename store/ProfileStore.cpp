#include "ProfileStore.h"

#include "FileChooser.h"
#include "StoreFiles.h"

#include <QSettings>
#include <QStringList>

namespace {

const QString ProfileFilter = QStringLiteral("Profile(*.pf)");

} // namespace

ProfileStore::ProfileStore(const QString &modulesDir) : m_modulesDir(modulesDir)
{
    m_factory = StoreFiles::openIni(factoryFilePath());
    for (int i = 0; i < ProfileCount; ++i)
        m_profiles[i] = StoreFiles::openIni(profileFilePath(i));
}

ProfileStore::~ProfileStore() = default;

QString ProfileStore::profileFilePath(int profile) const
{
    return m_modulesDir + QStringLiteral("/setting/p%1.bin").arg(profile + 1);
}

QString ProfileStore::factoryFilePath() const
{
    return m_modulesDir + QLatin1String("/setting/pD.bin");
}

QSettings &ProfileStore::current() const
{
    return *m_profiles[m_current];
}

QSettings &ProfileStore::source(bool isRecovery) const
{
    return isRecovery ? *m_factory : current();
}

void ProfileStore::setCurrentProfile(int profile)
{
    if (isValidProfile(profile))
        m_current = profile;
}

QVariant ProfileStore::getData(const QString &key, bool isRecovery) const
{
    return source(isRecovery).value(key);
}

QVariantList ProfileStore::getDataList(const QString &key, bool isRecovery) const
{
    return StoreFiles::toList(getData(key, isRecovery));
}

void ProfileStore::setData(const QString &key, const QVariant &data)
{
    current().setValue(key, StoreFiles::storedForm(data));
}

void ProfileStore::setDataList(const QString &key, const QVariantList &datalist)
{
    setData(key, datalist);
}

void ProfileStore::saveProfile(int profile, FileChooser &chooser)
{
    if (!isValidProfile(profile))
        return;
    const QString target = chooser.getSaveFileName(QStringLiteral("Save File"),
                                                   StoreFiles::desktopDirectory(), ProfileFilter);
    if (target.isEmpty())
        return;
    // The export holds what the UI shows, including changes not yet written by the facility.
    m_profiles[profile]->sync();
    StoreFiles::replaceFile(m_profiles[profile]->fileName(), target);
}

bool ProfileStore::loadProfile(int profile, FileChooser &chooser)
{
    if (!isValidProfile(profile))
        return false;
    const QString chosen = chooser.getOpenFileName(QStringLiteral("Open File"),
                                                   StoreFiles::desktopDirectory(), ProfileFilter);
    if (chosen.isEmpty())
        return false;
    bool replaced = false;
    replaceProfile(profile, chosen, &replaced);
    return replaced;
}

void ProfileStore::resetProfile(int profile)
{
    if (isValidProfile(profile))
        replaceProfile(profile, factoryFilePath());
}

void ProfileStore::copyProfile(int destprofile, int srcprofile)
{
    if (!isValidProfile(destprofile) || !isValidProfile(srcprofile))
        return;
    // The copy holds the source as the UI sees it.
    m_profiles[srcprofile]->sync();
    replaceProfile(destprofile, m_profiles[srcprofile]->fileName());
}

void ProfileStore::replaceProfile(int profile, const QString &sourceFile, bool *replaced)
{
    auto &slot = m_profiles[profile];
    const QString file = slot->fileName();
    // Unwritten changes go to the old file, which is then replaced, so none reaches the new one.
    slot->sync();
    slot.reset();
    const bool ok = StoreFiles::replaceFile(sourceFile, file);
    if (replaced)
        *replaced = ok;
    slot = StoreFiles::openIni(file);
}

QVariant ProfileStore::getXYSensitive(const QString &index) const
{
    const QString key = StoreFiles::childKey(QStringLiteral("XYSensitive"), index);
    return key.isEmpty() ? QVariant(4) : current().value(key, 4);
}

void ProfileStore::setXYSensitive(const QString &index, const QVariant &xyData)
{
    const QString key = StoreFiles::childKey(QStringLiteral("XYSensitive"), index);
    if (!key.isEmpty())
        setData(key, xyData);
}

QVariant ProfileStore::getSelectGun(const QString &index) const
{
    const QString key = StoreFiles::childKey(QStringLiteral("selectGun"), index);
    return key.isEmpty() ? QVariant(QString()) : current().value(key, QString());
}

void ProfileStore::setSelectGun(const QString &index, const QVariant &gun)
{
    const QString key = StoreFiles::childKey(QStringLiteral("selectGun"), index);
    if (!key.isEmpty())
        setData(key, gun);
}

void ProfileStore::renameMacroReferences(const QString &oldName, const QString &newName)
{
    for (int p = 0; p < UiProfileCount; ++p) {
        QSettings &settings = *m_profiles[p];
        StoreFiles::GroupGuard group(settings, QStringLiteral("mouseMacroKey"));
        const QStringList keys = settings.childKeys();
        for (const QString &key : keys) {
            if (settings.value(key, QString()).toString() == oldName)
                settings.setValue(key, newName);
        }
    }
}

void ProfileStore::resetMacroAssignments(const QString &macroName)
{
    for (int p = 0; p < UiProfileCount; ++p) {
        QSettings &settings = *m_profiles[p];
        for (int k = 0; k < KeyCount; ++k) {
            const QString key = QStringLiteral("mouseKeyMatrix/%1").arg(k);
            // Only a well-formed macro assignment (class 4 with a slot) names a macro.
            const QVariantList entry = StoreFiles::toList(settings.value(key));
            if (entry.size() < 3)
                continue;
            bool isNumber = false;
            const int functionClass = entry.at(0).toInt(&isNumber);
            if (!isNumber || functionClass != 4)
                continue;
            const int slot = entry.at(2).toInt(&isNumber);
            if (!isNumber)
                continue;
            const QVariant name = settings.value(QStringLiteral("mouseMacroKey/%1").arg(slot), QString());
            if (name.toString() != macroName)
                continue;
            const QVariant factory = m_factory->value(key);
            if (factory.isValid())
                settings.setValue(key, StoreFiles::storedForm(factory));
            else
                settings.remove(key);
        }
    }
}
