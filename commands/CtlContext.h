#pragma once

#include "DeviceEntry.h"
#include "ModelFlags.h"
#include "MouseCommands.h"

#include <QFlags>
#include <QList>
#include <QString>

class AppConfigStore;
class Hid_Thread;
class ProfileStore;
class UiScripts;

// One row of `devices`: an entry of the device table, the interfaces found for it and what became
// of it.
struct DeviceRow
{
    enum class State {
        Connected,        // the mouse in use
        Usable,           // answered the challenge; another entry comes first
        NotAttached,      // no interface of it was found
        NoCommandPath,    // only its event interface was found
        PermissionDenied, // found, but the user may not open it
        NoAnswer,         // found, but it did not answer the challenge
        NotChecked,       // found; the running program connected another entry first
    };

    DeviceEntry entry;
    State state = State::NotAttached;
    QString reason; // a sentence for the states that make the mouse unusable
};

// The host pointer settings as the system page sends them: its two speed indexes and the wheel
// lines (1000: one screen per notch).
struct PointerValues
{
    uint cursorSpeedIndex = 0;
    uint doubleClickIndex = 0;
    uint wheelLines = 1;
};

// What the commands act on: the stores, the model and the mouse. The tool alone makes its own
// (cli/LocalContext); the running program hands over its window's (app/CtlRequests), so a request
// from the tool changes what the window shows and uses the program's one connection.
class CtlContext
{
public:
    // Parts of the window that a command changed and that must show the new values.
    enum class Area {
        Profile = 0x01,   // the profile in use or the profile list
        Keys = 0x02,
        Rate = 0x04,
        Dpi = 0x08,
        Light = 0x10,
        System = 0x20,    // pointer settings
        Macros = 0x40,
        CurrentDpi = 0x80,
        Rules = 0x100,    // the application rules or their switch
    };
    Q_DECLARE_FLAGS(Areas, Area)

    virtual ~CtlContext() = default;

    virtual QString modulesDir() const = 0;
    virtual AppConfigStore &appConfig() = 0;
    virtual ProfileStore &profiles() = 0;
    virtual ModelFlags modelFlags() const = 0;
    virtual MouseCommands::Blocks &profileBlocks() = 0;

    // The gateway to a connected mouse, connected first if need be; null, with the reason in
    // *whyNot, when no mouse is usable.
    virtual Hid_Thread *mouse(QString *whyNot) = 0;
    // The device-table entry of the connected mouse (valid after mouse() returned one).
    virtual DeviceEntry connectedEntry() const = 0;
    // Every entry of the device table and what was found for it.
    virtual QList<DeviceRow> devices() = 0;

    // Applies the pointer settings of the profile in use to the desktop, as the system page does
    // when a profile is loaded.
    virtual void applyPointerSettings(const PointerValues &values) = 0;
    // A script engine with the window's libraries loaded that outlives the command, for a context
    // that carries out many; null: each command loads its own.
    virtual UiScripts *scripts() { return nullptr; }
    // Which rule chose the profile in use, as the running program's focus switching says; the
    // tool alone has no focus to follow (empty).
    virtual QString ruleStatus() const { return QString(); }
    // The command is done; a window shows the parts that changed (with CurrentDpi, the stage the
    // mouse was switched to).
    virtual void changed(Areas areas, int currentDpiStage)
    {
        Q_UNUSED(areas);
        Q_UNUSED(currentDpiStage);
    }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CtlContext::Areas)
