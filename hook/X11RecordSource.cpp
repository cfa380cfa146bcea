#include "X11RecordSource.h"

#include "EvdevKeys.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <variant>
#include <vector>

// Xlib's macros (KeyPress, Bool, None, ...) clash with Qt names, so its headers come last.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

#include "XErrorTrap.h"

namespace {

using RecordedEvent = std::variant<RawKeyEvent, RawButtonEvent>;

} // namespace

struct X11RecordSource::Private
{
    QByteArray displayName;
    InputSink *sink = nullptr;
    // Requests go over the control connection; the data connection carries nothing but the
    // recorded stream, as RECORD requires.
    Display *control = nullptr;
    Display *data = nullptr;
    XRecordContext context = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    EvdevKeys::HeldModifiers held;
    // Filled while Xlib runs our reply handler; handed on only once Xlib has returned, so that a
    // callback that spins the event loop cannot reenter Xlib.
    std::vector<RecordedEvent> pending;
    bool delivering = false;

    static void intercept(XPointer closure, XRecordInterceptData *recorded);
    void record(const xEvent &event);
    void readReplies();
    void release();
};

void X11RecordSource::Private::intercept(XPointer closure, XRecordInterceptData *recorded)
{
    auto *self = reinterpret_cast<Private *>(closure);
    if (recorded->category == XRecordFromServer
        && recorded->data_len * 4 >= sizeof(xEvent) && self->sink) {
        self->record(*reinterpret_cast<const xEvent *>(recorded->data));
    }
    XRecordFreeData(recorded);
}

void X11RecordSource::Private::record(const xEvent &event)
{
    const int type = event.u.u.type & 0x7F;
    const int detail = event.u.u.detail;
    const unsigned state = event.u.keyButtonPointer.state;

    if (type == KeyPress || type == KeyRelease) {
        const bool pressed = type == KeyPress;
        const int code = detail - EvdevKeys::X11KeycodeOffset;
        // The recorded state is that before the event; the held keys cover modifiers whose mapping
        // differs from the usual one.
        const bool altDown = held.alt() || (state & Mod1Mask);
        const bool ctrlDown = held.ctrl() || (state & ControlMask);
        held.update(code, pressed);
        if (const auto key = EvdevKeys::setOneKey(code, altDown, ctrlDown))
            pending.push_back(RawKeyEvent{key->scanCode, key->extended, altDown, pressed});
    } else if (type == ButtonPress || type == ButtonRelease) {
        if (const auto button = EvdevKeys::buttonForXButton(detail)) {
            pending.push_back(RawButtonEvent{*button, type == ButtonPress,
                                             event.u.keyButtonPointer.rootX,
                                             event.u.keyButtonPointer.rootY});
        }
    }
}

void X11RecordSource::Private::readReplies()
{
    if (!data || delivering)
        return;
    XRecordProcessReplies(data);

    // Quiet while a callback runs, in case it spins the event loop.
    delivering = true;
    notifier->setEnabled(false);
    std::vector<RecordedEvent> events;
    events.swap(pending);
    for (const RecordedEvent &event : events) {
        if (!sink) // a callback stopped us
            break;
        if (const auto *key = std::get_if<RawKeyEvent>(&event))
            sink->keyEvent(*key);
        else
            sink->buttonEvent(std::get<RawButtonEvent>(event));
    }
    delivering = false;
    if (notifier)
        notifier->setEnabled(true);
}

void X11RecordSource::Private::release()
{
    if (notifier && delivering) {
        // Stopped from a callback, inside the notifier's own signal: it must outlive the signal.
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
    notifier.reset();
    if (control && context) {
        XRecordDisableContext(control, context);
        XSync(control, False);
    }
    // Closing waits for the end of the recorded stream, which the disable above has caused.
    if (data)
        XCloseDisplay(data);
    data = nullptr;
    if (control) {
        if (context)
            XRecordFreeContext(control, context);
        XCloseDisplay(control);
    }
    control = nullptr;
    context = 0;
    pending.clear();
}

X11RecordSource::X11RecordSource(const QByteArray &displayName)
    : d(std::make_unique<Private>())
{
    d->displayName = displayName;
}

X11RecordSource::~X11RecordSource()
{
    stop();
}

QString X11RecordSource::name() const
{
    return QStringLiteral("X11 RECORD");
}

bool X11RecordSource::start(InputSink *sink)
{
    stop();
    // Recorded data is read from the event loop; without one nothing would ever arrive.
    if (!sink || !QCoreApplication::instance())
        return false;

    const char *name = d->displayName.isEmpty() ? nullptr : d->displayName.constData();
    d->control = XOpenDisplay(name);
    d->data = d->control ? XOpenDisplay(name) : nullptr;
    int major = 0;
    int minor = 0;
    if (!d->data || !XRecordQueryVersion(d->control, &major, &minor)) {
        d->release();
        return false;
    }

    XRecordRange *range = XRecordAllocRange();
    if (!range) {
        d->release();
        return false;
    }
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;
    {
        XErrorTrap trap(d->control);
        d->context = XRecordCreateContext(d->control, 0, &clients, 1, &range, 1);
        if (trap.failed())
            d->context = 0;
    }
    XFree(range);
    if (!d->context) {
        d->release();
        return false;
    }

    d->sink = sink;
    // The server answers nothing else on the data connection while the context is enabled, so it
    // cannot be synchronised like the control connection; the context was just made for it.
    if (!XRecordEnableContextAsync(d->data, d->context, &Private::intercept,
                                   reinterpret_cast<XPointer>(d.get()))) {
        d->sink = nullptr;
        d->release();
        return false;
    }
    XFlush(d->data);

    d->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(d->data),
                                                    QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, d->notifier.get(),
                     [p = d.get()] { p->readReplies(); });
    return true;
}

void X11RecordSource::stop()
{
    d->sink = nullptr;
    d->release();
    d->held = {};
}

bool X11RecordSource::isRunning() const
{
    return d->notifier != nullptr;
}
