#pragma once

#include "ModelFlags.h"

#include <QPointer>
#include <QQuickWidget>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <array>
#include <memory>

class AppConfigStore;
class FileChooser;
class FocusSwitcher;
class Hid_Thread;
class HostPointerSettings;
class MouseCommands;
class ProfileStore;

// Hosts the UI documents and offers them the host's operations. The slots stay thin: store work is
// done by the classes under store/, device work by the functions in MouseOps and by Hid_Thread.
// The slot order is the documents' contract and must not change.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT

public:
    using ProfileBlock = std::array<uchar, 128>;

    // modulesDir is the data root; the program passes "./modules" (relative to its own directory).
    explicit myQQuickView(QWidget *parent = nullptr,
                          const QString &modulesDir = QStringLiteral("./modules"));
    ~myQQuickView() override;

    Hid_Thread *hid = nullptr;          // not owned; set by the main window
    const ModelFlags &modelFlags() const { return m_flags; }
    QString modulesDir() const { return m_modulesDir; }

    // Seams; not owned. Without a chooser the file dialogs are real QFileDialogs.
    void setFileChooser(FileChooser *chooser);
    void setHostPointerSettings(HostPointerSettings *settings);

    // The focus switching behind the application rules page; not owned. Unset, the page still
    // edits the stored rules, "Pick a window" says that no window is watched and ruleStatus is "".
    void setFocusSwitcher(FocusSwitcher *switcher);

    AppConfigStore &appConfig() const { return *m_appConfig; }
    ProfileStore &profiles() const { return *m_profiles; }
    std::array<ProfileBlock, 5> profileBlocks{};
    // The device slots' work on this view's model, blocks and gateway; the tool uses the same.
    MouseCommands mouseCommands();

    // Calls a function of the root document by name; false when there is no root or no such
    // function. Queued calls run at the next turn of the event loop.
    bool callRoot(const char *function, Qt::ConnectionType type,
                  const QVariantList &args = {});

    // The mouse went away (false) or came back: the view takes no input while it is away, and the
    // document says why.
    void setDeviceConnected(bool connected);

    // Draws the document at once, without running the event loop: while a long exchange with the
    // mouse runs, no GUI event may be processed, yet the busy notice must be seen. The frame stays
    // over the view until the view renders through the event loop again.
    Q_INVOKABLE void repaintNow();

    // Forwarders of the input hook: queued, so the document sees the key after the hook returned.
    void detectKeyboard(bool isDown, int usbCode);
    void detectMouse(bool isDown, uint mouseCode, uint x, uint y);

public slots:
    void clearHidBusy();                                                    // 0
    void initUI();                                                          // 1
    void runUI();                                                           // 2
    void resetApconfig();                                                   // 3
    bool loadMacroFile(QVariant macroFileName);                             // 4
    void saveMacroFile(QVariant macroFileName);                             // 5
    bool loadProfile(int profile);                                          // 6
    void saveProfile(int profile);                                          // 7
    void resetProfile(int profile);                                         // 8
    void copyProfile(int destprofile, int srcprofile);                      // 9
    QStringList getLangStrings(QString typeStr, QString langCode);          // 10
    QVariant createMacroIni(QVariant name, QVariant macroIndex);            // 11
    QVariant updataNameList(QVariant type, QStringList nameList);           // 12
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname); // 13
    void deleteMacroUpdateProfile(QVariant macroName);                      // 14
    QVariant deleteMacroIni(QVariant name);                                 // 15
    QVariantList getNameList(QVariant type);                                // 16
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat); // 17
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex); // 18
    QStringList loadMacroIni(QVariant name);                                // 19
    void mouseSaveGundata(QVariant index, QVariantList src6);               // 20
    void mouseSendGundata(int index, QVariantList src);                     // 21
    void modifyGundata(QVariant modifyType, QVariantList src6);             // 22
    QVariantList getGunData(QVariant name);                                 // 23
    QStringList getGunDataKey();                                            // 24
    QVariant getXYSensitive(QVariant index);                                // 25
    QVariant getselectGun(QVariant index);                                  // 26
    void setXYSensitive(QVariant index, QVariant xyData);                   // 27
    void setSelectGun(QVariant index, QVariant xyData);                     // 28
    void setCurrentProfile(int profile);                                    // 29
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4); // 30
    void mouseSetReportRate(uchar rate);                                    // 31
    void mouseSetCurrentDPI(uchar currentDPI);                              // 32
    void mouseResetKeyMatrix();                                             // 33
    QVariant mouseGetCurrentDPI();                                          // 34
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam); // 35
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray); // 36
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);     // 37
    void mouseSetRGBColor(uchar type, QVariantList src24);                  // 38
    void mouseSetProfile(uint profileNo);                                   // 39
    void mouseReadProfile(uint profileNo);                                  // 40
    QVariant mouseReadCurrentProfile();                                     // 41
    void mouseSwitchKeyMatrix(int indexNo);                                 // 42
    QVariantList GetKeyboardoption();                                       // 43
    void mouseSetCursorSpeed(uint cursorSpeed);                             // 44
    void mouseSetVerticalScrollLines(uint lines);                           // 45
    void mouseSetDoubleClickSpeed(uint speed);                              // 46
    QVariantList mouseGetKeydefine(QVariant index, bool isRecovery);        // 47
    void openUpdateExe();                                                   // 48
    QVariant getData(QVariant key, bool isRecovery);                        // 49
    QVariant getGlobalData(QVariant key);                                   // 50
    QVariantList getDataList(QVariant key, bool isRecovery);                // 51
    void setData(QVariant key, QVariant data);                              // 52
    void setGlobalData(QVariant key, QVariant tmpdata);                     // 53
    void setDataList(QVariant key, QVariantList datalist);                  // 54
    void setBusy(int busyTime);                                             // 55
    void setCurrentDPI(int dpiValue);                                       // 56
    // The application rules page; profiles 1..6 as the user counts them, rule numbers 1-based.
    // The editing calls answer "" when done, else the store's reason.
    QVariantList appRules(int profile);                                     // 57
    QString addAppRule(int profile, QString kind, QString text);            // 58
    QString removeAppRule(int number, int profile, QString match);          // 59
    bool appRulesEnabled();                                                 // 60
    void setAppRulesEnabled(bool on, int currentProfile);                   // 61
    int appRulesDesktopProfile();                                           // 62
    QString setAppRulesDesktopProfile(int profile);                         // 63
    // "" when the next window the user focuses will be offered (focusedWindow), else why not.
    QString pickWindow();                                                   // 64

    // ---- Application rules (after the numbered slots, which keep their order) ----
public:
    // Which rule chose the profile in use, or why a switch waits, while the rules are on; "" while
    // they are off (the profile list then shows no line).
    Q_PROPERTY(QString ruleStatus READ ruleStatus NOTIFY ruleStatusChanged)
    QString ruleStatus() const;
    // The page or the tool edited the rules or their switch: the focus switching reads them again.
    Q_INVOKABLE void appRulesEdited();

signals:
    void ruleStatusChanged();
    // Another program's window took the focus (for "Pick a window"): its class or app id, its
    // executable's name and its title.
    void focusedWindow(const QString &cls, const QString &exe, const QString &title);

protected:
    void enterEvent(QEnterEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_modulesDir;
    std::unique_ptr<AppConfigStore> m_appConfig;
    std::unique_ptr<ProfileStore> m_profiles;
    ModelFlags m_flags;
    FileChooser *m_fileChooser = nullptr;
    HostPointerSettings *m_pointerSettings = nullptr;
    class FrozenFrame;
    FrozenFrame *m_frozenFrame = nullptr;   // a child widget, owned by Qt
    bool m_grabbing = false;
    QPointer<FocusSwitcher> m_switcher;
};
