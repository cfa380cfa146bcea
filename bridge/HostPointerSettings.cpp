#include "HostPointerSettings.h"

#include "PointerBackends.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QStyleHints>

quint32 cursorSpeedForIndex(quint32 index)
{
    return index == 0 ? 1u : 2u * index;
}

quint32 doubleClickTimeForIndex(quint32 index)
{
    return 900u - 70u * index;
}

bool PointerBackend::setCursorSpeed(quint32)
{
    return false;
}

bool PointerBackend::setDoubleClickTime(quint32)
{
    return false;
}

bool PointerBackend::setWheelScrollLines(quint32)
{
    return false;
}

HostPointerSettings::HostPointerSettings() = default;
HostPointerSettings::~HostPointerSettings() = default;

std::unique_ptr<HostPointerSettings> HostPointerSettings::forThisDesktop()
{
    auto settings = std::make_unique<HostPointerSettings>();

    // Under a Wayland compositor the X server is only a compatibility layer whose pointer control
    // moves nothing, so the X backend is offered on X11 sessions alone.
    const bool waylandSession = qgetenv("XDG_SESSION_TYPE") == "wayland"
                                || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!waylandSession && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (auto x = XPointerBackend::open())
            settings->addBackend(std::move(x));
    }

    if (auto gio = GioPointerBackend::open())
        settings->addBackend(std::move(gio));

    // Writing KDE's file elsewhere would count as applied while nothing reads it.
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    if (desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive)) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        if (!dir.isEmpty())
            settings->addBackend(std::make_unique<KdeGlobalsPointerBackend>(dir + QLatin1String("/kdeglobals")));
    }
    return settings;
}

HostPointerSettings &HostPointerSettings::processDefault()
{
    static const std::unique_ptr<HostPointerSettings> instance = forThisDesktop();
    return *instance;
}

void HostPointerSettings::addBackend(std::unique_ptr<PointerBackend> backend)
{
    if (backend)
        m_backends.push_back(std::move(backend));
}

template<typename Setter>
bool HostPointerSettings::offerToAll(Setter setter)
{
    // Every backend is asked, not only the first: a desktop may read more than one of them.
    bool taken = false;
    for (const auto &backend : m_backends)
        taken = setter(*backend) || taken;
    return taken;
}

bool HostPointerSettings::setCursorSpeed(quint32 speed)
{
    if (speed < kMinCursorSpeed || speed > kMaxCursorSpeed)
        return false;
    return offerToAll([speed](PointerBackend &b) { return b.setCursorSpeed(speed); });
}

bool HostPointerSettings::setDoubleClickTime(quint32 ms)
{
    if (ms == 0 || ms > kMaxDoubleClickMs)
        return false;
    if (qGuiApp)
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(int(ms));
    return offerToAll([ms](PointerBackend &b) { return b.setDoubleClickTime(ms); });
}

bool HostPointerSettings::setWheelScrollLines(quint32 lines)
{
    if (lines > kWheelScrollPage)
        return false;
    if (qGuiApp)
        QGuiApplication::styleHints()->setWheelScrollLines(int(lines));
    return offerToAll([lines](PointerBackend &b) { return b.setWheelScrollLines(lines); });
}
