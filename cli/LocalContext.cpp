#include "LocalContext.h"

#include "AppConfigStore.h"
#include "DeviceDiscovery.h"
#include "HidBackend.h"
#include "HostPointerSettings.h"
#include "ProfileStore.h"
#include "UiScripts.h"

#include <QDebug>
#include <QDir>

namespace {

QString apConfigPath(const QString &modulesDir)
{
    return QDir(modulesDir).filePath(QStringLiteral("setting/apConfig.bin"));
}

} // namespace

LocalContext::LocalContext(const QString &modulesDir, HidBackend *backend, ProtocolClock *clock)
    : m_modulesDir(modulesDir)
    , m_appConfig(std::make_unique<AppConfigStore>(modulesDir))
    , m_profiles(std::make_unique<ProfileStore>(modulesDir))
    , m_flags(m_appConfig->modelFlags())
{
    if (backend)
        m_hid.setBackend(backend);
    if (clock)
        m_hid.setClock(clock);
    m_hid.setModelFlags(m_flags.icType, m_flags.isGun);
}

LocalContext::~LocalContext() = default;

UiScripts *LocalContext::scripts()
{
    if (!m_scripts)
        m_scripts = std::make_unique<UiScripts>();
    return m_scripts.get();
}

Hid_Thread *LocalContext::mouse(QString *whyNot)
{
    if (m_looked) {
        *whyNot = m_whyNot;
        return m_connected ? &m_hid : nullptr;
    }
    m_looked = true;
    // The program's device check: the table, its interfaces, the first entry that answers.
    DeviceTable table = DeviceDiscovery::readDeviceTable(apConfigPath(m_modulesDir));
    if (HidBackend *backend = m_hid.backend())
        DeviceDiscovery::locateInterfaces(*backend, table);
    m_hid.setDeviceTable(table);
    QList<DeviceDiscovery::FailedProbe> failed;
    if (DeviceDiscovery::probeEntries(m_hid, table, &failed) < 0) {
        m_whyNot = DeviceDiscovery::describe(DeviceDiscovery::noMouseOutcome(failed));
        *whyNot = m_whyNot;
        return nullptr;
    }
    // What the program does once a mouse answered: the transport is free, a 560 mouse's profile
    // blocks are read, and device profile 1 is the one in use (the window's start makes it so).
    m_connected = true;
    m_hid.setHidReady(true);
    MouseCommands commands(&m_hid, m_flags, m_blocks);
    commands.readProfileBlocksOnConnect();
    if (m_flags.is560() && commands.currentProfile() != 1)
        m_hid.hid560_02H_SetCurrentProfile(1);
    return &m_hid;
}

DeviceEntry LocalContext::connectedEntry() const
{
    return m_hid.deviceTable().value(m_hid.currentIndex());
}

QList<DeviceRow> LocalContext::devices()
{
    DeviceTable table = DeviceDiscovery::readDeviceTable(apConfigPath(m_modulesDir));
    HidBackend *backend = m_hid.backend();
    if (backend)
        DeviceDiscovery::locateInterfaces(*backend, table);
    m_hid.setDeviceTable(table);
    QList<DeviceRow> rows;
    for (int i = 0; i < table.size(); ++i) {
        DeviceRow row;
        row.entry = table.at(i);
        const QString path = row.entry.commandPath;
        if (path.isEmpty()) {
            row.state = row.entry.eventPath.isEmpty() ? DeviceRow::State::NotAttached : DeviceRow::State::NoCommandPath;
        } else if (m_hid.chkDeviceIsEnCode(i)) {
            row.state = DeviceRow::State::Usable;
        } else {
            const HidOpenFailure failure = backend ? backend->openFailure(path) : HidOpenFailure::Other;
            const DeviceDiscovery::CheckOutcome outcome = DeviceDiscovery::noMouseOutcome({{path, failure}});
            row.state = failure == HidOpenFailure::Gone ? DeviceRow::State::NotAttached
                        : outcome.reason == DeviceDiscovery::NoMouseReason::PermissionDenied
                            ? DeviceRow::State::PermissionDenied
                            : DeviceRow::State::NoAnswer;
            if (row.state != DeviceRow::State::NotAttached)
                row.reason = DeviceDiscovery::describe(outcome);
        }
        rows << row;
    }
    // The probes moved the gateway; a later command looks for the mouse afresh.
    m_looked = false;
    m_connected = false;
    return rows;
}

// As the view's pointer slots do it.
void LocalContext::applyPointerSettings(const PointerValues &values)
{
    if (m_applyPointer) {
        m_applyPointer(values);
        return;
    }
    HostPointerSettings &settings = HostPointerSettings::processDefault();
    if (!settings.setCursorSpeed(cursorSpeedForIndex(values.cursorSpeedIndex)))
        qDebug("setCursorSpeed Failed");
    if (!settings.setDoubleClickTime(doubleClickTimeForIndex(values.doubleClickIndex)))
        qDebug("setDoubleClickSpeed Failed");
    if (!settings.setWheelScrollLines(values.wheelLines))
        qDebug("setVerticalScrollLines Failed");
}
