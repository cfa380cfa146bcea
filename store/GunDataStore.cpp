#include "GunDataStore.h"

#include "StoreFiles.h"

#include <QFile>
#include <QSettings>

namespace {

const QString Group = QStringLiteral("gunData");
constexpr int RecordSize = 6;

} // namespace

GunDataStore::GunDataStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}

QString GunDataStore::filePath() const
{
    return m_modulesDir + QLatin1String("/gun/gunData.bin");
}

QVariantList GunDataStore::getGunData(const QString &name) const
{
    const QString key = StoreFiles::childKey(Group, name);
    if (key.isEmpty() || !QFile::exists(filePath()))
        return {};
    return StoreFiles::toList(StoreFiles::openIni(filePath())->value(key));
}

QStringList GunDataStore::getGunDataKey() const
{
    if (!QFile::exists(filePath()))
        return {};
    const auto settings = StoreFiles::openIni(filePath());
    StoreFiles::GroupGuard group(*settings, Group);
    return settings->allKeys();
}

void GunDataStore::mouseSaveGundata(const QString &index, const QVariantList &src6)
{
    const QString key = StoreFiles::childKey(Group, index);
    if (key.isEmpty() || src6.size() < RecordSize || !QFile::exists(filePath()))
        return;
    StoreFiles::openIni(filePath())->setValue(key, StoreFiles::storedForm(src6.mid(0, RecordSize)));
}

void GunDataStore::modifyGundata(int modifyType, const QVariantList &src6)
{
    if (!QFile::exists(filePath()))
        return;
    if (modifyType == 0 && !src6.isEmpty()) {
        // An empty name would address, and remove, the whole group.
        const QString key = StoreFiles::childKey(Group, src6.at(0).toString());
        if (!key.isEmpty())
            StoreFiles::openIni(filePath())->remove(key);
    } else if (modifyType == 1 && src6.size() > RecordSize) {
        const QString newKey = StoreFiles::childKey(Group, src6.at(0).toString());
        const QString oldKey = StoreFiles::childKey(Group, src6.at(RecordSize).toString());
        if (newKey.isEmpty() || oldKey.isEmpty())
            return;
        const auto settings = StoreFiles::openIni(filePath());
        settings->remove(oldKey);
        settings->setValue(newKey, StoreFiles::storedForm(src6.mid(1, RecordSize - 1)));
    }
}
