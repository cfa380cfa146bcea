#pragma once

#include "InputSource.h"

#include <QStringList>

// Writes each call as one line, keys and buttons in one list so that their order can be checked
// too: as the callbacks of InputHook ("key 04 1") and as a source's sink ("raw 1e 1", "raw 1ce 1"
// for an extended code, before the hook filters repeated states).
struct HookRecorder final : InputSink
{
    QStringList calls;

    static void key(quint8 usage, bool pressed, void *context)
    {
        static_cast<HookRecorder *>(context)->calls
            << QStringLiteral("key %1 %2").arg(usage, 2, 16, QLatin1Char('0')).arg(pressed);
    }
    static void mouse(quint8 code, bool down, quint32 x, quint32 y, void *context)
    {
        static_cast<HookRecorder *>(context)->calls
            << QStringLiteral("mouse %1 %2 %3 %4").arg(code, 0, 16).arg(down).arg(x).arg(y);
    }
    void keyEvent(const RawKeyEvent &e) override
    {
        calls << QStringLiteral("raw %1%2 %3").arg(e.scanCode, 2, 16, QLatin1Char('0'))
                     .arg(e.extended ? "e" : "").arg(e.pressed);
    }
    void buttonEvent(const RawButtonEvent &) override { calls << QStringLiteral("raw button"); }
};
