#include "PointerBackends.h"

#include <X11/Xlib.h>

#include <numeric>

namespace {

// Xlib reports request errors through one process-wide handler; it is swapped in only around our
// own request, on the GUI thread.
bool g_requestFailed = false;

int recordError(Display *, XErrorEvent *)
{
    g_requestFailed = true;
    return 0;
}

} // namespace

XAcceleration xAccelerationForSpeed(quint32 speed)
{
    const int numerator = int(speed);
    const int denominator = 5;
    const int divisor = std::gcd(numerator, denominator);
    return {numerator / divisor, denominator / divisor};
}

std::unique_ptr<XPointerBackend> XPointerBackend::open(const QByteArray &displayName)
{
    Display *display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!display)
        return nullptr;
    return std::unique_ptr<XPointerBackend>(new XPointerBackend(display));
}

XPointerBackend::~XPointerBackend()
{
    XCloseDisplay(m_display);
}

bool XPointerBackend::setCursorSpeed(quint32 speed)
{
    if (speed < kMinCursorSpeed || speed > kMaxCursorSpeed)
        return false;
    const XAcceleration accel = xAccelerationForSpeed(speed);

    g_requestFailed = false;
    XErrorHandler previous = XSetErrorHandler(recordError);
    XChangePointerControl(m_display, True, False, accel.numerator, accel.denominator, 0);
    XSync(m_display, False); // errors arrive only once the server has answered
    XSetErrorHandler(previous);
    return !g_requestFailed;
}
