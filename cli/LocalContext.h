#pragma once

#include "CtlContext.h"
#include "Hid_Thread.h"

#include <functional>
#include <memory>

class AppConfigStore;
class HidBackend;
class ProfileStore;
class ProtocolClock;
class UiScripts;

// The tool on its own, when the program does not run: the stores of a modules folder, and the
// mouse found and connected as the program's device check does it. The mouse is looked for only
// when a command needs it.
class LocalContext final : public CtlContext
{
public:
    // backend and clock: null for hidapi and the real clock; not owned.
    LocalContext(const QString &modulesDir, HidBackend *backend, ProtocolClock *clock = nullptr);
    ~LocalContext() override;

    // What applies the pointer settings; by default the desktop's (HostPointerSettings).
    void setPointerApplier(std::function<void(const PointerValues &)> apply) { m_applyPointer = std::move(apply); }
    Hid_Thread &hid() { return m_hid; }

    QString modulesDir() const override { return m_modulesDir; }
    AppConfigStore &appConfig() override { return *m_appConfig; }
    ProfileStore &profiles() override { return *m_profiles; }
    ModelFlags modelFlags() const override { return m_flags; }
    MouseCommands::Blocks &profileBlocks() override { return m_blocks; }
    Hid_Thread *mouse(QString *whyNot) override;
    DeviceEntry connectedEntry() const override;
    QList<DeviceRow> devices() override;
    void applyPointerSettings(const PointerValues &values) override;
    // One engine for every command run on this context.
    UiScripts *scripts() override;

private:
    QString m_modulesDir;
    std::unique_ptr<AppConfigStore> m_appConfig;
    std::unique_ptr<ProfileStore> m_profiles;
    ModelFlags m_flags;
    MouseCommands::Blocks m_blocks{};
    Hid_Thread m_hid;
    bool m_connected = false;
    bool m_looked = false;
    QString m_whyNot;
    std::function<void(const PointerValues &)> m_applyPointer;
    std::unique_ptr<UiScripts> m_scripts;
};
