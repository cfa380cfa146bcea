#pragma once

#include <QStringList>

// Callbacks for InputHook that write each call as one line, keys and buttons in one list so that
// their order can be checked too.
struct HookRecorder
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
};
