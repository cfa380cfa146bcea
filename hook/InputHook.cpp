#include "InputHook.h"

#include "WindowKeySource.h"
#include "X11RecordSource.h"

#include <QGuiApplication>

InputHook::InputHook(bool isoBackslash)
    : InputHook(isoBackslash, defaultSources())
{
}

InputHook::InputHook(bool isoBackslash, std::vector<std::unique_ptr<InputSource>> sources)
    : m_isoBackslash(isoBackslash),
      m_scanCodeTable(KeyTranslation::buildScanCodeTable()),
      m_usageTable(KeyTranslation::buildUsageTable(isoBackslash)),
      m_sources(std::move(sources))
{
    installHooks();
}

InputHook::~InputHook()
{
    removeHooks();
}

std::vector<std::unique_ptr<InputSource>> InputHook::defaultSources()
{
    return sourcesFor(QGuiApplication::platformName());
}

std::vector<std::unique_ptr<InputSource>> InputHook::sourcesFor(const QString &platformName)
{
    std::vector<std::unique_ptr<InputSource>> sources;
    // RECORD would start on a Wayland session's X server too, yet see none of our own keys there.
    if (platformName.isEmpty() || platformName == QLatin1String("xcb"))
        sources.push_back(std::make_unique<X11RecordSource>());
    sources.push_back(std::make_unique<WindowKeySource>());
    return sources;
}

bool InputHook::installHooks()
{
    removeHooks();
    // One source at a time: two running sources would report every key twice.
    for (const auto &source : m_sources) {
        if (source->start(this)) {
            m_active = source.get();
            return true;
        }
        source->stop();
    }
    return false;
}

void InputHook::removeHooks()
{
    if (!m_active)
        return;
    InputSource *source = m_active;
    m_active = nullptr;
    source->stop();
}

QString InputHook::activeSourceName() const
{
    return m_active ? m_active->name() : QString();
}

void InputHook::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    m_keyboardCallback = callback;
    m_keyboardContext = context;
}

void InputHook::setMouseCallback(MouseCallback callback, void *context)
{
    m_mouseCallback = callback;
    m_mouseContext = context;
}

void InputHook::setCopyDataCallback(CopyDataCallback callback, void *context)
{
    m_copyDataCallback = callback;
    m_copyDataContext = context;
}

bool InputHook::deliverCopyData(const CopyDataRecord &record)
{
    if (!m_copyDataCallback)
        return false;
    m_copyDataCallback(&record, m_copyDataContext);
    return true;
}

void InputHook::keyEvent(const RawKeyEvent &event)
{
    const quint8 virtualKey = KeyTranslation::virtualKeyFor(m_scanCodeTable, event.scanCode,
                                                            event.extended, event.altDown);
    if (virtualKey == 0)
        return;
    const quint8 usage = KeyTranslation::usageFor(m_usageTable, virtualKey);
    // The state follows even without a callback, so a later callback sees no stale release.
    if (usage == 0 || !m_keyDownState.change(usage, event.pressed))
        return;
    if (m_keyboardCallback)
        m_keyboardCallback(usage, event.pressed, m_keyboardContext);
}

void InputHook::buttonEvent(const RawButtonEvent &event)
{
    if (!m_mouseCallback)
        return;
    // Positions travel as unsigned 32-bit values; a negative one arrives as 2^32 - n.
    m_mouseCallback(KeyTranslation::mouseCode(event.button), event.down, quint32(event.x),
                    quint32(event.y), m_mouseContext);
}
