#pragma once

#include <QString>

// What a focus watcher reports about the window that now has the focus.
struct FocusInfo
{
    QString cls;      // X11 WM_CLASS class part, or the Wayland app id
    QString instance; // X11 WM_CLASS instance part (empty elsewhere)
    QString title;
    qint64 pid = 0;   // 0 when the window does not say
    QString exe;      // executable name (exeNameOf), filled in from pid when the watcher left it empty

    bool operator==(const FocusInfo &o) const
    {
        return cls == o.cls && instance == o.instance && title == o.title && pid == o.pid && exe == o.exe;
    }
    // A short name for the status and the balloon: the class, else the title.
    QString label() const { return !cls.isEmpty() ? cls : !instance.isEmpty() ? instance : title; }
};
