#include "AppPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace AppPaths {

bool copyMissing(const QString &from, const QString &to)
{
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(file));
        if (QFileInfo::exists(target))
            continue;
        ok = QDir().mkpath(QFileInfo(target).path()) && ok;
        ok = QFile::copy(file, target) && ok;
        // Shipped files may be read-only in the install tree; the user's copies must be writable.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    }
    return ok;
}

bool isWritableDir(const QString &dir)
{
    for (const QString &d : {dir, QDir(dir).filePath(QStringLiteral("modules/setting"))}) {
        QTemporaryFile probe(QDir(d).filePath(QStringLiteral(".write-test-XXXXXX")));
        if (!probe.open())
            return false;
    }
    return true;
}

QString chooseDataRoot(const QString &executableDir, bool executableDirWritable,
                       const QString &userDataDir)
{
    if (executableDirWritable)
        return executableDir;
    copyMissing(QDir(executableDir).filePath(QStringLiteral("modules")),
                QDir(userDataDir).filePath(QStringLiteral("modules")));
    return userDataDir;
}

} // namespace AppPaths
