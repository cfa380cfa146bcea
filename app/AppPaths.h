#pragma once

#include <QString>

// Where the program keeps its files. Everything is read and written under "./modules" relative to
// the working directory, which start-up sets to the data root chosen here.
namespace AppPaths {

// The executable's directory when it is writable; otherwise a per-user folder under the user's data
// directory, which receives a copy of the shipped modules/ on first start. Files the user already
// has there are never overwritten; missing ones (a newer release's additions) are filled in.
QString chooseDataRoot(const QString &executableDir, bool executableDirWritable,
                       const QString &userDataDir);

// Copies every file of `from` that is missing in `to`; returns false when a copy failed.
bool copyMissing(const QString &from, const QString &to);

// True when files can be created in `dir` and in its modules/ folder.
bool isWritableDir(const QString &dir);

} // namespace AppPaths
