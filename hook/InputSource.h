#pragma once

#include "KeyTranslation.h"

#include <QString>

// One key press or release as low-level keyboard input reports it.
struct RawKeyEvent
{
    quint32 scanCode = 0; // PC set-1; codes above 255 are unknown keys
    bool extended = false;
    bool altDown = false;
    bool pressed = false;
};

// One press or release of the left, right or middle button.
struct RawButtonEvent
{
    KeyTranslation::MouseButton button = KeyTranslation::MouseButton::Left;
    bool down = false;
    qint32 x = 0; // screen position; negative left of or above the primary screen
    qint32 y = 0;
};

// Receives what a source observes, on the GUI thread.
class InputSink
{
public:
    virtual void keyEvent(const RawKeyEvent &event) = 0;
    virtual void buttonEvent(const RawButtonEvent &event) = 0;

protected:
    ~InputSink() = default;
};

// A platform facility that observes all key and button input of the session without taking it
// from anyone.
class InputSource
{
public:
    virtual ~InputSource() = default;
    virtual QString name() const = 0;
    // Starts delivering to sink; false, with nothing delivered, when the facility is unavailable.
    // Must be called on the GUI thread, where the events then arrive.
    virtual bool start(InputSink *sink) = 0;
    // Stops delivering; nothing arrives after it returns. Harmless when not started.
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};
