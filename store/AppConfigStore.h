#pragma once

#include "ModelFlags.h"

#include <QString>
#include <QVariant>

// Placeholder contract; the store work replaces the body.
class AppConfigStore
{
public:
    explicit AppConfigStore(const QString &modulesDir);
    ~AppConfigStore();
    ModelFlags modelFlags() const;
    QVariant getGlobalData(const QString &key) const;
    void setGlobalData(const QString &key, const QVariant &value);
    void resetApconfig();

private:
    QString m_modulesDir;
};

// common/name of the application configuration, read through a short-lived settings object.
QString readWindowTitle(const QString &modulesDir);
