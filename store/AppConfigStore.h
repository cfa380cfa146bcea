#pragma once

#include "ModelFlags.h"

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The application configuration (<modules>/setting/apConfig.bin): installation data, the device
// table and the model's characteristics. One settings object stays open for the store's lifetime;
// the settings facility writes changes back by itself.
class AppConfigStore
{
public:
    explicit AppConfigStore(const QString &modulesDir);
    ~AppConfigStore();
    AppConfigStore(const AppConfigStore &) = delete;
    AppConfigStore &operator=(const AppConfigStore &) = delete;

    // Read from the open file on every call; the view copies them once, when it is built.
    ModelFlags modelFlags() const;

    // Invalid when the key is absent.
    QVariant getGlobalData(const QString &key) const;
    void setGlobalData(const QString &key, const QVariant &value);
    void removeGlobalData(const QString &key);

    // Replaces the configuration by the factory copy (apConfigD.bin). Changes not yet written are
    // dropped; without a factory copy the configuration stays as it is.
    void resetApconfig();

    QString filePath() const;
    QString factoryFilePath() const;

private:
    void open();

    QString m_modulesDir;
    std::unique_ptr<QSettings> m_settings;
};

// common/name of the application configuration, read through a short-lived settings object.
QString readWindowTitle(const QString &modulesDir);
