#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <array>
#include <memory>

class FileChooser;
class QSettings;

// The ten profiles (<modules>/setting/p1.bin … p10.bin, profile index i in p<i+1>.bin) and the
// factory profile (pD.bin), all held open for the store's lifetime. Reads and writes go to the
// profile in use; reads with isRecovery go to the factory profile. Profile indexes outside 0..9
// are ignored by every operation.
class ProfileStore
{
public:
    static constexpr int ProfileCount = 10;
    // The UI offers six profiles; the macro updates walk these.
    static constexpr int UiProfileCount = 6;
    static constexpr int KeyCount = 16;

    explicit ProfileStore(const QString &modulesDir);
    ~ProfileStore();
    ProfileStore(const ProfileStore &) = delete;
    ProfileStore &operator=(const ProfileStore &) = delete;

    static bool isValidProfile(int profile) { return profile >= 0 && profile < ProfileCount; }

    int currentProfileIndex() const { return m_current; }
    void setCurrentProfile(int profile);

    // Invalid when absent.
    QVariant getData(const QString &key, bool isRecovery) const;
    // The value as a list; empty when absent or not a list.
    QVariantList getDataList(const QString &key, bool isRecovery) const;
    void setData(const QString &key, const QVariant &data);
    void setDataList(const QString &key, const QVariantList &datalist);

    // Export and import of one profile file through a dialog ("Save File" / "Open File",
    // "Profile(*.pf)", the desktop as start directory). loadProfile is true when the chosen file
    // was read in; false when the dialog was cancelled or the file could not be copied.
    void saveProfile(int profile, FileChooser &chooser);
    bool loadProfile(int profile, FileChooser &chooser);
    // Replace a profile by the factory profile, or by a copy of another profile. The replaced
    // profile's unwritten changes are dropped; a missing source leaves it as it was.
    void resetProfile(int profile);
    void copyProfile(int destprofile, int srcprofile);

    // Per-profile gun keys of the profile in use: XYSensitive/<index> (default 4) and
    // selectGun/<index> (default empty text).
    QVariant getXYSensitive(const QString &index) const;
    void setXYSensitive(const QString &index, const QVariant &xyData);
    QVariant getSelectGun(const QString &index) const;
    void setSelectGun(const QString &index, const QVariant &gun);

    // Macro bookkeeping over the UI's profiles 0..5: every mouseMacroKey entry naming oldName takes
    // newName; every button whose macro slot names macroName gets its factory definition back.
    void renameMacroReferences(const QString &oldName, const QString &newName);
    void resetMacroAssignments(const QString &macroName);

    QString profileFilePath(int profile) const;
    QString factoryFilePath() const;

private:
    QSettings &current() const;
    QSettings &source(bool isRecovery) const;
    void replaceProfile(int profile, const QString &sourceFile, bool *replaced = nullptr);

    QString m_modulesDir;
    std::unique_ptr<QSettings> m_factory;
    std::array<std::unique_ptr<QSettings>, ProfileCount> m_profiles;
    int m_current = 0;
};
