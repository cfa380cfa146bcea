#pragma once

#include "FileChooser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

// Shared by the store tests: a modules tree in a temporary directory, raw file access, and a file
// chooser that answers with a scripted name.
namespace StoreTest {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A modules directory with the store folders, inside a temporary directory that also leaves room
// for files "outside" it.
struct ModulesTree
{
    QTemporaryDir root;
    QString modules;

    ModulesTree() : modules(root.path() + QLatin1String("/modules"))
    {
        for (const char *sub : {"setting", "macro", "gun", "i18n"})
            QDir().mkpath(modules + QLatin1Char('/') + QLatin1String(sub));
    }
    QString path(const QString &relative) const { return modules + QLatin1Char('/') + relative; }
    QString profile(int index) const { return path(QStringLiteral("setting/p%1.bin").arg(index + 1)); }

    // Every file under the temporary root with its bytes, to show that nothing else changed.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            files.insert(f, readFile(f));
        }
        return files;
    }
};

// What a fresh reader finds on disk. The settings facility caches parsed files per path, so the
// file is read through a copy under a new name.
inline QVariant diskValue(const QString &path, const QString &key)
{
    QTemporaryDir dir;
    const QString copy = dir.path() + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::Id128);
    QFile::copy(path, copy);
    return QSettings(copy, QSettings::IniFormat).value(key);
}

class ScriptedChooser : public FileChooser
{
public:
    QString answer;
    struct Call
    {
        QString kind, caption, dir, filter;
    };
    QList<Call> calls;

    QString getSaveFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        calls.append({QStringLiteral("save"), caption, dir, filter});
        return answer;
    }
    QString getOpenFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        calls.append({QStringLiteral("open"), caption, dir, filter});
        return answer;
    }
};

} // namespace StoreTest
