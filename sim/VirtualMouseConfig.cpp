#include "VirtualMouseConfig.h"

#include <QFileInfo>
#include <QSettings>

DeviceEntry VirtualMouseConfig::deviceEntry() const
{
    DeviceEntry entry = *this;
    entry.commandPath.clear();
    entry.eventPath.clear();
    return entry;
}

namespace {

// Keeps the first error; later checks still run but cannot overwrite it.
class ConfigReader
{
public:
    explicit ConfigReader(const QString &path) : m_settings(path, QSettings::IniFormat)
    {
        m_settings.beginGroup(QStringLiteral("mouse"));
    }

    void hex16(const char *key, quint16 &out)
    {
        const QString text = m_settings.value(QLatin1String(key)).toString().trimmed();
        if (text.isEmpty())
            return;
        bool ok = false;
        const uint value = text.toUInt(&ok, 16);
        if (!ok || value > 0xffff)
            fail(QStringLiteral("%1 is not a 16-bit hexadecimal number: \"%2\"").arg(QLatin1String(key), text));
        else
            out = static_cast<quint16>(value);
    }

    QString text(const char *key, const QString &fallback) const
    {
        return m_settings.value(QLatin1String(key), fallback).toString().trimmed();
    }

    bool flag(const char *key, bool fallback) const
    {
        return m_settings.value(QLatin1String(key), fallback).toBool();
    }

    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    const QString &error() const { return m_error; }

private:
    QSettings m_settings;
    QString m_error;
};

} // namespace

std::optional<VirtualMouseConfig> loadVirtualMouseConfig(const QString &iniPath, QString *error)
{
    auto failWith = [error](const QString &why) -> std::optional<VirtualMouseConfig> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!QFileInfo(iniPath).isFile())
        return failWith(QStringLiteral("no model file at %1").arg(iniPath));

    VirtualMouseConfig config;
    ConfigReader reader(iniPath);
    config.family = reader.text("family", config.family);
    if (config.family != QLatin1String("553") && !config.is560())
        reader.fail(QStringLiteral("family must be 553 or 560, not \"%1\"").arg(config.family));
    reader.hex16("vid", config.vid);
    reader.hex16("pid", config.pid);
    reader.hex16("usagePage", config.usagePage);
    reader.hex16("usage", config.usage);
    reader.hex16("usagePage2", config.usagePage2);
    reader.hex16("usage2", config.usage2);
    const QString length = reader.text("reportLength", QString::number(config.reportLength));
    config.reportLength = length.toInt();
    if (config.reportLength != 32 && config.reportLength != 64)
        reader.fail(QStringLiteral("reportLength must be 32 or 64, not \"%1\"").arg(length));
    config.isEncode = reader.flag("isEncode", config.isEncode);
    config.sCode = reader.text("sCode", config.sCode);
    if (config.sCode.size() != 6)
        reader.fail(QStringLiteral("sCode must have six characters, not \"%1\"").arg(config.sCode));
    config.isGun = reader.flag("isGun", config.isGun);
    config.isColorful = reader.flag("isColorful", config.isColorful);

    if (!reader.error().isEmpty())
        return failWith(QStringLiteral("%1: %2").arg(iniPath, reader.error()));
    return config;
}
