#pragma once

#include "EvdevKeys.h"
#include "InputSource.h"

#include <QHash>
#include <QObject>

// Observes the keys typed into the program's own windows, for sessions whose display server keeps
// everyone else's input private (Wayland) or offers no global facility. The platform's key events
// carry the XKB key code (the kernel's code + 8) as their native scan code, which the shared evdev
// tables turn into set-1 scan codes, so the keys go through the same translation as global input.
// Mouse buttons are not observed: the documents only record keys.
class WindowKeySource final : public QObject, public InputSource
{
public:
    WindowKeySource() = default;
    ~WindowKeySource() override;

    QString name() const override;
    // False without a GUI application, whose windows are the only ones seen.
    bool start(InputSink *sink) override;
    void stop() override;
    bool isRunning() const override { return m_sink != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The keys that go up with the focus elsewhere are never seen going up: once the program has
    // lost the keyboard, every key still held counts as released, so a later press is reported.
    void releaseHeldKeys();

    InputSink *m_sink = nullptr;
    EvdevKeys::HeldModifiers m_held;
    QHash<int, RawKeyEvent> m_down; // by kernel key code
};
