#pragma once

#include <QString>
#include <QVariant>

// Placeholder contract; the store work replaces the body.
class ProfileStore
{
public:
    explicit ProfileStore(const QString &modulesDir);
    ~ProfileStore();

private:
    QString m_modulesDir;
};
