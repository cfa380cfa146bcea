#include "AppConfigStore.h"

#include "StoreFiles.h"

#include <QSettings>

namespace {

QString configPath(const QString &modulesDir)
{
    return modulesDir + QLatin1String("/setting/apConfig.bin");
}

} // namespace

AppConfigStore::AppConfigStore(const QString &modulesDir) : m_modulesDir(modulesDir)
{
    open();
}

AppConfigStore::~AppConfigStore() = default;

void AppConfigStore::open()
{
    m_settings = StoreFiles::openIni(configPath(m_modulesDir));
}

QString AppConfigStore::filePath() const
{
    return m_settings->fileName();
}

QString AppConfigStore::factoryFilePath() const
{
    return m_modulesDir + QLatin1String("/setting/apConfigD.bin");
}

ModelFlags AppConfigStore::modelFlags() const
{
    ModelFlags flags;
    flags.isColorful = m_settings->value(QStringLiteral("mouse/isColorful"), false).toBool();
    flags.isGun = m_settings->value(QStringLiteral("mouse/isGun"), false).toBool();
    flags.icType = m_settings->value(QStringLiteral("mouse/icType"), QString()).toString();
    flags.is55328 = m_settings->value(QStringLiteral("mouse/is55328"), false).toBool();
    return flags;
}

QVariant AppConfigStore::getGlobalData(const QString &key) const
{
    return m_settings->value(key);
}

void AppConfigStore::setGlobalData(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, StoreFiles::storedForm(value));
}

void AppConfigStore::removeGlobalData(const QString &key)
{
    if (!key.isEmpty()) // an empty key would clear the whole file
        m_settings->remove(key);
}

void AppConfigStore::resetApconfig()
{
    const QString file = filePath();
    // Unwritten changes go to the old file, which is then replaced, so none reaches the copy.
    m_settings->sync();
    m_settings.reset();
    StoreFiles::replaceFile(factoryFilePath(), file);
    open();
}

QString readWindowTitle(const QString &modulesDir)
{
    const auto settings = StoreFiles::openIni(configPath(modulesDir));
    return settings->value(QStringLiteral("common/name"), QString()).toString();
}
