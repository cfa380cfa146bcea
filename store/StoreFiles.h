#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

// Helpers shared by the stores: opening INI files, the text form values take on disk, whole-file
// replacement, and the checks that keep names from turning into paths.
namespace StoreFiles {

std::unique_ptr<QSettings> openIni(const QString &path);

// The value as the settings facility reads it back from the file: numbers and booleans as text,
// lists as lists of texts. Storing this form instead of the caller's typed value means a read in the
// same session returns what a read after a restart returns.
QVariant storedForm(const QVariant &value);

// The value as a list, as the settings facility's readers expect: a list stays a list, anything
// else (a single text included, which the variant would otherwise split into characters) is an
// empty list.
QVariantList toList(const QVariant &value);

// Replaces destination by a byte copy of source. The copy is written beside the destination and
// renamed over it, so the old destination stays untouched when the source is missing or anything
// fails. The replacement's time stamp is always later than the old one's: the settings facility
// re-reads a cached file only when its size or time stamp changed.
bool replaceFile(const QString &source, const QString &destination);

// A name that may be used as one file name inside a store folder: not empty, not "." or "..",
// no path separator and no control character.
bool isPlainFileName(const QString &name);

// group + "/" + part, or an empty string when part names nothing below the group (empty or only
// slashes), which would otherwise address the whole group.
QString childKey(const QString &group, const QString &part);

// Start directory of the import and export dialogs.
QString desktopDirectory();

// Enters a settings group for the lifetime of the guard.
class GroupGuard
{
public:
    GroupGuard(QSettings &settings, const QString &group) : m_settings(settings)
    {
        m_settings.beginGroup(group);
    }
    ~GroupGuard() { m_settings.endGroup(); }
    GroupGuard(const GroupGuard &) = delete;
    GroupGuard &operator=(const GroupGuard &) = delete;

private:
    QSettings &m_settings;
};

} // namespace StoreFiles
