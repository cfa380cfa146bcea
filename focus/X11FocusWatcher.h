#pragma once

#include "FocusWatcher.h"

#include <memory>

// The focus on an X server (XWayland included): the window manager's _NET_ACTIVE_WINDOW on the
// root window, announced by PropertyNotify, with the window's WM_CLASS, _NET_WM_NAME (WM_NAME
// when absent) and _NET_WM_PID. A title change of the active window is reported again. Reads its
// own connection from the event loop.
class X11FocusWatcher : public FocusWatcher
{
    Q_OBJECT

public:
    // `display`: empty for $DISPLAY. `scopeNote` is added to scope() (a Wayland desktop whose own
    // windows this watcher cannot see).
    explicit X11FocusWatcher(const QByteArray &display = {}, const QString &scopeNote = {}, QObject *parent = nullptr);
    ~X11FocusWatcher() override;

    bool start(QString *why) override;
    QString scope() const override;

private:
    void readEvents();
    void reportActive();

    struct Private;
    std::unique_ptr<Private> d;
};
