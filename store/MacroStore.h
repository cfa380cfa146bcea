#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class FileChooser;
class ProfileStore;

// One file per macro: <modules>/macro/<name>.bin with group config (index, total, repeat, did) and
// group macro (the events "type,info" in playing order). Every call opens and closes its file.
// A name that is not a plain file name is refused: the call returns false, an empty list or does
// nothing, and no file is touched.
class MacroStore
{
public:
    explicit MacroStore(const QString &modulesDir);

    static bool isValidName(const QString &name);
    // Empty for an invalid name.
    QString macroFilePath(const QString &name) const;

    bool createMacroIni(const QString &name, uint macroIndex);
    // False when the macro does not exist.
    bool saveMacroIni(const QString &name, const QStringList &macros, const QVariant &repeat);
    // The events followed by the repeat count; empty when the macro does not exist.
    QStringList loadMacroIni(const QString &name) const;
    bool deleteMacroIni(const QString &name);

    // Export and import through a dialog ("Save File" / "Open File", "Macro(*.mc)"). An import
    // never overwrites an existing macro; it is true when the chosen file was copied in.
    void saveMacroFile(const QString &macroFileName, FileChooser &chooser);
    bool loadMacroFile(const QString &macroFileName, FileChooser &chooser);

    // Renames the macro file and its name in the profiles 0..5; false when the old macro does not
    // exist or the file rename fails (the profiles then already hold the new name).
    bool modifyMacroNameUpdateProfile(const QString &oldname, const QString &newname,
                                      ProfileStore &profiles);
    // Gives every button of the profiles 0..5 that runs the macro its factory definition back.
    void deleteMacroUpdateProfile(const QString &macroName, ProfileStore &profiles);

private:
    QString m_modulesDir;
};
