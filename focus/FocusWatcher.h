#pragma once

#include "FocusInfo.h"

#include <QObject>

#include <memory>

// The seam between the desktop and the focus switching: a watcher reports each change of the
// focused window as the desktop announces it (never by asking again and again).
class FocusWatcher : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts watching; false (with `why`) when this desktop offers no way in.
    virtual bool start(QString *why) = 0;
    // What this watcher sees, for the status ("X11 and XWayland windows", "sway windows", …).
    virtual QString scope() const = 0;

signals:
    void focusChanged(const FocusInfo &focus);
};

namespace FocusWatchers {

// The watcher for the running desktop: sway/i3 IPC when SWAYSOCK or I3SOCK is set, the KWin
// script on KDE Plasma's Wayland session, X11 (XWayland included) when DISPLAY is set; null (with
// `why`, for the status) when none starts.
std::unique_ptr<FocusWatcher> forDesktop(QString *why);

} // namespace FocusWatchers
