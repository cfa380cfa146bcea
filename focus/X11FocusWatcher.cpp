#include "X11FocusWatcher.h"

#include <QSocketNotifier>

// Xlib's macros clash with Qt names, so its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "XErrorTrap.h"

struct X11FocusWatcher::Private
{
    QByteArray displayName;
    QString scopeNote;
    Display *display = nullptr;
    Window root = 0;
    Window active = 0;
    Atom netActive = 0, netName = 0, netPid = 0, utf8 = 0;
    std::unique_ptr<QSocketNotifier> notifier;

    // The property's first `count` items of `format`, or empty.
    QByteArray property(Window w, Atom name, Atom type, long count)
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        QByteArray out;
        if (XGetWindowProperty(display, w, name, 0, count, False, type, &actualType, &format, &items, &after, &data) == Success
            && data && actualType == type) {
            // 32-bit items come as longs, whatever the size of a long.
            const int size = format == 32 ? int(sizeof(long)) : format / 8;
            out = QByteArray(reinterpret_cast<const char *>(data), int(items) * size);
        }
        if (data)
            XFree(data);
        return out;
    }
    long number(Window w, Atom name, Atom type)
    {
        const QByteArray v = property(w, name, type, 1);
        return v.size() == sizeof(long) ? *reinterpret_cast<const long *>(v.constData()) : 0;
    }
};

X11FocusWatcher::X11FocusWatcher(const QByteArray &display, const QString &scopeNote, QObject *parent)
    : FocusWatcher(parent), d(std::make_unique<Private>())
{
    d->displayName = display;
    d->scopeNote = scopeNote;
}

X11FocusWatcher::~X11FocusWatcher()
{
    d->notifier.reset();
    if (d->display)
        XCloseDisplay(d->display);
}

QString X11FocusWatcher::scope() const
{
    const QString base = QStringLiteral("X11 and XWayland windows");
    return d->scopeNote.isEmpty() ? base : base + QStringLiteral("; ") + d->scopeNote;
}

bool X11FocusWatcher::start(QString *why)
{
    d->display = XOpenDisplay(d->displayName.isEmpty() ? nullptr : d->displayName.constData());
    if (!d->display) {
        *why = QStringLiteral("the X display could not be opened");
        return false;
    }
    d->root = DefaultRootWindow(d->display);
    d->netActive = XInternAtom(d->display, "_NET_ACTIVE_WINDOW", False);
    d->netName = XInternAtom(d->display, "_NET_WM_NAME", False);
    d->netPid = XInternAtom(d->display, "_NET_WM_PID", False);
    d->utf8 = XInternAtom(d->display, "UTF8_STRING", False);
    XSelectInput(d->display, d->root, PropertyChangeMask);
    XFlush(d->display);
    d->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(d->display), QSocketNotifier::Read);
    connect(d->notifier.get(), &QSocketNotifier::activated, this, &X11FocusWatcher::readEvents);
    reportActive();
    return true;
}

void X11FocusWatcher::readEvents()
{
    // Xlib may already hold events it read while waiting for a reply; take them all.
    while (XPending(d->display)) {
        XEvent event;
        XNextEvent(d->display, &event);
        if (event.type != PropertyNotify)
            continue;
        const XPropertyEvent &p = event.xproperty;
        if ((p.window == d->root && p.atom == d->netActive)
            || (p.window == d->active && d->active && (p.atom == d->netName || p.atom == XA_WM_NAME)))
            reportActive();
    }
}

void X11FocusWatcher::reportActive()
{
    FocusInfo focus;
    {
        // The window may be gone by the time it is asked about.
        XErrorTrap trap(d->display);
        const Window w = Window(d->number(d->root, d->netActive, XA_WINDOW));
        if (w != d->active) {
            if (d->active)
                XSelectInput(d->display, d->active, NoEventMask);
            if (w)
                XSelectInput(d->display, w, PropertyChangeMask); // its title changes
            d->active = w;
        }
        if (w) {
            XClassHint hint{nullptr, nullptr};
            if (XGetClassHint(d->display, w, &hint)) {
                focus.instance = QString::fromLocal8Bit(hint.res_name);
                focus.cls = QString::fromLocal8Bit(hint.res_class);
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            focus.title = QString::fromUtf8(d->property(w, d->netName, d->utf8, 1024));
            if (focus.title.isEmpty())
                focus.title = QString::fromLatin1(d->property(w, XA_WM_NAME, XA_STRING, 1024));
            focus.pid = d->number(w, d->netPid, XA_CARDINAL);
        }
        if (trap.failed())
            return; // gone meanwhile; its successor announces itself
    }
    emit focusChanged(focus);
}
