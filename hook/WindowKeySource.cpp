#include "WindowKeySource.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <utility>

WindowKeySource::~WindowKeySource()
{
    stop();
}

QString WindowKeySource::name() const
{
    return QStringLiteral("window keys");
}

bool WindowKeySource::start(InputSink *sink)
{
    stop();
    if (!sink || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    m_sink = sink;
    QCoreApplication::instance()->installEventFilter(this);
    return true;
}

void WindowKeySource::stop()
{
    if (!m_sink)
        return;
    m_sink = nullptr;
    m_held = {};
    m_down.clear();
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool WindowKeySource::eventFilter(QObject *watched, QEvent *event)
{
    if (m_sink && event->type() == QEvent::ApplicationStateChange
        && static_cast<QApplicationStateChangeEvent *>(event)->applicationState()
               != Qt::ApplicationActive) {
        releaseHeldKeys();
        return false;
    }
    const bool pressed = event->type() == QEvent::KeyPress;
    if (!m_sink || (!pressed && event->type() != QEvent::KeyRelease))
        return false;
    // A key reaches the top-level window from the platform first; the copies that the window then
    // hands on to widgets and embedded scenes are not spontaneous, and must not count again.
    if (!event->spontaneous() || !watched->isWindowType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // Held keys report one press, as from the keyboard itself.
    if (key->isAutoRepeat() || key->nativeScanCode() <= quint32(EvdevKeys::X11KeycodeOffset))
        return false;

    const int code = int(key->nativeScanCode()) - EvdevKeys::X11KeycodeOffset;
    // The held keys cover the state before this event, the reported modifiers keys pressed before
    // the source started.
    const bool altDown = m_held.alt() || key->modifiers().testFlag(Qt::AltModifier);
    const bool ctrlDown = m_held.ctrl() || key->modifiers().testFlag(Qt::ControlModifier);
    m_held.update(code, pressed);
    if (const auto setOne = EvdevKeys::setOneKey(code, altDown, ctrlDown)) {
        const RawKeyEvent raw{setOne->scanCode, setOne->extended, altDown, pressed};
        if (pressed)
            m_down.insert(code, raw);
        else
            m_down.remove(code);
        m_sink->keyEvent(raw);
    }
    // Observed only: the window gets the key as usual.
    return false;
}

void WindowKeySource::releaseHeldKeys()
{
    const QHash<int, RawKeyEvent> down = std::exchange(m_down, {});
    m_held = {};
    for (RawKeyEvent key : down) {
        if (!m_sink) // stopped by a callback
            return;
        key.pressed = false;
        m_sink->keyEvent(key);
    }
}
