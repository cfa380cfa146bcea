#pragma once

#include "CopyDataNotice.h"
#include "InputSource.h"
#include "KeyTranslation.h"

#include <memory>
#include <vector>

// Watches every key and the left, right and middle mouse buttons of the session while the program
// runs, and hands them to the registered callbacks as USB HID usage IDs and mouse codes 0xF0-0xF2.
// Input is only observed, never taken away from the window that has the focus.
//
// The events come from an InputSource; "installing the hooks" starts the first source that can run.
// Everything happens on the GUI thread: sources deliver there and the callbacks are called there, so
// a callback must only queue its work (it runs while the source is handling input).
class InputHook final : public InputSink
{
public:
    using KeyboardCallback = void (*)(quint8 usage, bool pressed, void *context);
    using MouseCallback = void (*)(quint8 code, bool down, quint32 x, quint32 y, void *context);
    using CopyDataCallback = void (*)(const CopyDataRecord *record, void *context);

    // Observes what defaultSources() offers.
    explicit InputHook(bool isoBackslash);
    // Sources in order of preference; the first that starts is used.
    InputHook(bool isoBackslash, std::vector<std::unique_ptr<InputSource>> sources);
    ~InputHook();

    InputHook(const InputHook &) = delete;
    InputHook &operator=(const InputHook &) = delete;

    // The sources for the running GUI platform (see sourcesFor).
    static std::vector<std::unique_ptr<InputSource>> defaultSources();
    // X RECORD where the program's windows are X clients, then the program's own windows: a
    // platform that shows them through another display server (a Wayland compositor) captures
    // in-window only. An empty name (no GUI platform) means an X display.
    static std::vector<std::unique_ptr<InputSource>> sourcesFor(const QString &platformName);

    // Stops whatever runs, then starts one source that observes both keys and buttons. False when
    // none can; nothing is captured then.
    bool installHooks();
    void removeHooks();
    bool hooksInstalled() const { return m_active != nullptr; }
    // Name of the running source, empty when none runs.
    QString activeSourceName() const;

    bool isoBackslash() const { return m_isoBackslash; }

    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    void setCopyDataCallback(CopyDataCallback callback, void *context);

    // Hands a copy-data record to the copy-data callback. True when a callback took it; a registered
    // callback takes every record, whatever its tag (copyDataNoticeText decides what is shown).
    bool deliverCopyData(const CopyDataRecord &record);

    // What the sources deliver; also callable directly.
    void keyEvent(const RawKeyEvent &event) override;
    void buttonEvent(const RawButtonEvent &event) override;

private:
    const bool m_isoBackslash;
    const KeyTranslation::ScanCodeTable m_scanCodeTable;
    const KeyTranslation::UsageTable m_usageTable;
    KeyTranslation::KeyDownState m_keyDownState;

    std::vector<std::unique_ptr<InputSource>> m_sources;
    InputSource *m_active = nullptr;

    KeyboardCallback m_keyboardCallback = nullptr;
    void *m_keyboardContext = nullptr;
    MouseCallback m_mouseCallback = nullptr;
    void *m_mouseContext = nullptr;
    CopyDataCallback m_copyDataCallback = nullptr;
    void *m_copyDataContext = nullptr;
};
