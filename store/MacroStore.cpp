#include "MacroStore.h"

#include "FileChooser.h"
#include "ProfileStore.h"
#include "StoreFiles.h"

#include <QFile>
#include <QSettings>

namespace {

const QString MacroFilter = QStringLiteral("Macro(*.mc)");
// Far above what the editor records; a larger count can only come from a damaged file.
constexpr int MaxEvents = 65536;

} // namespace

MacroStore::MacroStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}

bool MacroStore::isValidName(const QString &name)
{
    return StoreFiles::isPlainFileName(name);
}

QString MacroStore::macroFilePath(const QString &name) const
{
    if (!isValidName(name))
        return QString();
    return m_modulesDir + QLatin1String("/macro/") + name + QLatin1String(".bin");
}

bool MacroStore::createMacroIni(const QString &name, uint macroIndex)
{
    const QString path = macroFilePath(name);
    if (path.isEmpty())
        return false;
    const auto settings = StoreFiles::openIni(path);
    StoreFiles::GroupGuard group(*settings, QStringLiteral("config"));
    settings->setValue(QStringLiteral("index"), QString::number(macroIndex));
    settings->setValue(QStringLiteral("total"), QStringLiteral("0"));
    settings->setValue(QStringLiteral("repeat"), QStringLiteral("1"));
    settings->setValue(QStringLiteral("did"), QStringLiteral("-1"));
    return true;
}

bool MacroStore::saveMacroIni(const QString &name, const QStringList &macros, const QVariant &repeat)
{
    const QString path = macroFilePath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return false;
    const auto settings = StoreFiles::openIni(path);
    settings->remove(QStringLiteral("macro"));
    settings->setValue(QStringLiteral("config/total"), QString::number(macros.size()));
    settings->setValue(QStringLiteral("config/repeat"), StoreFiles::storedForm(repeat));
    StoreFiles::GroupGuard group(*settings, QStringLiteral("macro"));
    for (int i = 0; i < macros.size(); ++i)
        settings->setValue(QString::number(i), macros.at(i));
    return true;
}

QStringList MacroStore::loadMacroIni(const QString &name) const
{
    const QString path = macroFilePath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return {};
    const auto settings = StoreFiles::openIni(path);
    int total = settings->value(QStringLiteral("config/total"), 0).toInt();
    if (total < 0 || total > MaxEvents)
        total = 0;
    QStringList events;
    events.reserve(total + 1);
    for (int i = 0; i < total; ++i)
        events.append(settings->value(QStringLiteral("macro/%1").arg(i), QStringLiteral("0")).toString());
    events.append(settings->value(QStringLiteral("config/repeat"), QStringLiteral("0")).toString());
    return events;
}

bool MacroStore::deleteMacroIni(const QString &name)
{
    const QString path = macroFilePath(name);
    return !path.isEmpty() && QFile::exists(path) && QFile::remove(path);
}

void MacroStore::saveMacroFile(const QString &macroFileName, FileChooser &chooser)
{
    const QString path = macroFilePath(macroFileName);
    if (path.isEmpty())
        return;
    const QString target = chooser.getSaveFileName(QStringLiteral("Save File"),
                                                   StoreFiles::desktopDirectory(), MacroFilter);
    if (!target.isEmpty())
        StoreFiles::replaceFile(path, target);
}

bool MacroStore::loadMacroFile(const QString &macroFileName, FileChooser &chooser)
{
    const QString path = macroFilePath(macroFileName);
    if (path.isEmpty())
        return false;
    const QString chosen = chooser.getOpenFileName(QStringLiteral("Open File"),
                                                   StoreFiles::desktopDirectory(), MacroFilter);
    if (chosen.isEmpty())
        return false;
    // Never overwrites: the editor imports under a fresh name.
    return QFile::copy(chosen, path);
}

bool MacroStore::modifyMacroNameUpdateProfile(const QString &oldname, const QString &newname,
                                              ProfileStore &profiles)
{
    const QString oldPath = macroFilePath(oldname);
    const QString newPath = macroFilePath(newname);
    if (oldPath.isEmpty() || newPath.isEmpty() || !QFile::exists(oldPath))
        return false;
    profiles.renameMacroReferences(oldname, newname);
    return QFile::rename(oldPath, newPath);
}

void MacroStore::deleteMacroUpdateProfile(const QString &macroName, ProfileStore &profiles)
{
    if (isValidName(macroName))
        profiles.resetMacroAssignments(macroName);
}
