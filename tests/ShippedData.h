#pragma once

// The data files as shipped, placed by the build in a folder nothing runs on or writes to (the
// build's bin/modules is written by `kestrel-orbit-demo --keep` and `kestrel-orbit-ctl
// --virtual`). Every test that starts on fresh data takes its copy here. Link ko_shipped_data.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace ShippedData {

inline QString dir() { return QStringLiteral(KO_SHIPPED_DATA_DIR); }

// Copies the shipped files into `modulesDir` (made when missing), each writable as the program's
// own; false when a file could not be copied.
inline bool copyTo(const QString &modulesDir)
{
    bool ok = QDir().mkpath(modulesDir) && QFileInfo::exists(dir());
    QDirIterator it(dir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = modulesDir + source.mid(dir().size());
        ok = QDir().mkpath(QFileInfo(target).absolutePath()) && QFile::copy(source, target) && ok;
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    QDir().mkpath(modulesDir + QStringLiteral("/macro"));
    return ok;
}

} // namespace ShippedData
