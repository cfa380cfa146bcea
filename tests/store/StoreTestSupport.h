#pragma once

#include "FileChooser.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

// A modules tree in a temporary directory, raw file access, and a scripted file chooser.
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

// modules/ inside a temporary root, which leaves room for files "outside" it.
struct ModulesTree
{
    QTemporaryDir root;
    QString modules = root.path() + QLatin1String("/modules");

    ModulesTree() { QDir().mkpath(modules + QLatin1String("/macro")); }
    QString path(const QString &relative) const { return modules + QLatin1Char('/') + relative; }
    QString profile(int index) const { return path(QStringLiteral("setting/p%1.bin").arg(index + 1)); }
    // Every file under the root with its bytes, to show that nothing else changed.
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

// What a fresh reader finds on disk: the settings facility caches parsed files per path, so the
// file is read through a copy under a new name.
inline QVariant diskValue(const QString &path, const QString &key)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QUuid::createUuid().toString(QUuid::Id128));
    QFile::copy(path, copy);
    return QSettings(copy, QSettings::IniFormat).value(key);
}

struct ScriptedChooser : FileChooser
{
    QString answer; // empty: the user cancels
    QStringList calls; // "save|open caption dir filter"
    QString ask(const char *kind, const QString &caption, const QString &dir, const QString &filter)
    {
        calls.append(QStringList{kind, caption, dir, filter}.join(QLatin1Char('|')));
        return answer;
    }
    QString getSaveFileName(const QString &c, const QString &d, const QString &f) override { return ask("save", c, d, f); }
    QString getOpenFileName(const QString &c, const QString &d, const QString &f) override { return ask("open", c, d, f); }
};

inline QString dialogCall(const char *kind, const char *caption, const char *filter)
{
    return QStringList{kind, caption, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), filter}
        .join(QLatin1Char('|'));
}

} // namespace StoreTest
