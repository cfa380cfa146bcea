#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// The ordered name lists of the UI (<modules>/setting/name.bin): 0 macros, 1 guns, 2 profiles,
// 3 a free list. Each call opens and closes the file, so a change is on disk when it returns.
class NameListStore
{
public:
    // Appended to a list of exactly one name, so that the stored value always reads back as a
    // list; the pages drop it again.
    static inline const QString Sentinel = QStringLiteral("loaderbeacon");

    explicit NameListStore(const QString &modulesDir);

    // Replaces list type by nameList; an empty list removes it. Types above 3 store nothing.
    // Always true.
    bool updataNameList(uint type, QStringList nameList);
    // The stored list, sentinel included; empty when absent or type is above 3.
    QVariantList getNameList(uint type) const;

    QString filePath() const;

private:
    QString m_modulesDir;
};
