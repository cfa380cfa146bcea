#include "NameListStore.h"

#include "StoreFiles.h"

namespace {

QString keyOf(uint type)
{
    switch (type) {
    case 0: return QStringLiteral("macro/macroName");
    case 1: return QStringLiteral("gun/gunName");
    case 2: return QStringLiteral("profile/profileName");
    case 3: return QStringLiteral("gun/selectGun");
    default: return QString();
    }
}

} // namespace

NameListStore::NameListStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}

QString NameListStore::filePath() const
{
    return m_modulesDir + QLatin1String("/setting/name.bin");
}

bool NameListStore::updataNameList(uint type, QStringList nameList)
{
    const QString key = keyOf(type);
    if (key.isEmpty())
        return true;
    const auto settings = StoreFiles::openIni(filePath());
    if (nameList.size() == 1)
        nameList.append(Sentinel);
    if (nameList.isEmpty())
        settings->remove(key);
    else
        settings->setValue(key, nameList);
    return true;
}

QVariantList NameListStore::getNameList(uint type) const
{
    const QString key = keyOf(type);
    if (key.isEmpty())
        return {};
    const auto settings = StoreFiles::openIni(filePath());
    return StoreFiles::toList(settings->value(key, 0));
}
