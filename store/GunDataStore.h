#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// The gun records (<modules>/gun/gunData.bin, group gunData). The file is shipped; no operation
// creates it, and every operation does nothing when it is missing. Each call opens and closes it.
class GunDataStore
{
public:
    explicit GunDataStore(const QString &modulesDir);

    // gunData/<name> as a list; empty when the key or the file is missing.
    QVariantList getGunData(const QString &name) const;
    QStringList getGunDataKey() const;
    // Stores src6[0..5] under gunData/<index>; shorter lists are refused.
    void mouseSaveGundata(const QString &index, const QVariantList &src6);
    // Type 0 removes gunData/<src6[0]>; type 1 removes gunData/<src6[6]> and stores src6[1..5]
    // under gunData/<src6[0]>; other types, and lists too short for the type, change nothing.
    void modifyGundata(int modifyType, const QVariantList &src6);

    QString filePath() const;

private:
    QString m_modulesDir;
};
