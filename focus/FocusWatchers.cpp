#include "FocusWatcher.h"

#include "KWinFocusWatcher.h"
#include "SwayFocusWatcher.h"
#include "X11FocusWatcher.h"

namespace FocusWatchers {

std::unique_ptr<FocusWatcher> forDesktop(QString *why)
{
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsSet("SWAYSOCK") || qEnvironmentVariableIsSet("I3SOCK"))
        return std::make_unique<SwayFocusWatcher>();
    if (wayland && qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE"), Qt::CaseInsensitive))
        return std::make_unique<KWinFocusWatcher>();
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        return std::make_unique<X11FocusWatcher>(
            QByteArray(), wayland ? QStringLiteral("this Wayland desktop lets no program see its native Wayland windows")
                                  : QString());
    }
    *why = wayland ? QStringLiteral("this Wayland desktop lets no program see its windows, and there is no XWayland display")
                   : QStringLiteral("there is no X display, sway IPC or KWin");
    return nullptr;
}

} // namespace FocusWatchers
