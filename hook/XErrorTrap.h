#pragma once

// Include after the Qt headers: Xlib's macros (KeyPress, Bool, None, ...) clash with Qt names.
#include <X11/Xlib.h>

// Collects protocol errors of our own requests instead of letting Xlib's default handler end the
// process. Only the GUI thread talks to X here, so swapping the process-wide handler is safe.
class XErrorTrap
{
public:
    explicit XErrorTrap(Display *display)
        : m_display(display)
    {
        s_failed = false;
        m_previous = XSetErrorHandler(&XErrorTrap::handler);
    }
    // Errors of requests still in flight arrive before the handler goes back.
    ~XErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    XErrorTrap(const XErrorTrap &) = delete;
    XErrorTrap &operator=(const XErrorTrap &) = delete;

    // Waits for the server to have handled everything sent so far.
    bool failed()
    {
        XSync(m_display, False);
        return s_failed;
    }

private:
    static int handler(Display *, XErrorEvent *)
    {
        s_failed = true;
        return 0;
    }

    Display *m_display;
    XErrorHandler m_previous;
    static inline bool s_failed = false;
};
