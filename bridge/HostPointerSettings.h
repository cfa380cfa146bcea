#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// The host values the system settings page asks for. Unsigned 32-bit arithmetic throughout, as the
// page's indices are unsigned: an index past 12 makes the double-click time wrap, and the wrapped
// value is then refused by HostPointerSettings rather than handed to the desktop.
quint32 cursorSpeedForIndex(quint32 index);     // 1, 2, 4 … 20 for 0 … 10
quint32 doubleClickTimeForIndex(quint32 index); // 900 − 70 × index ms

// What HostPointerSettings accepts. Cursor speed is on the 1 … 20 scale the page was made for;
// 1000 wheel lines means one screen per notch.
constexpr quint32 kMinCursorSpeed = 1;
constexpr quint32 kMaxCursorSpeed = 20;
constexpr quint32 kMaxDoubleClickMs = 5000;
constexpr quint32 kWheelScrollPage = 1000;

// One place of the desktop that keeps pointer settings. Each setter returns true only when the
// desktop took the value; a setting the place does not keep returns false.
class PointerBackend
{
public:
    virtual ~PointerBackend() = default;
    virtual bool setCursorSpeed(quint32 speed);
    virtual bool setDoubleClickTime(quint32 ms);
    virtual bool setWheelScrollLines(quint32 lines);
};

// Applies the host pointer settings through every backend of the running desktop. A setting counts
// as applied when at least one backend took it. The program's own settings (double-click interval,
// wheel lines) follow every accepted value, whether or not a backend took it, so the program behaves
// as chosen even where the desktop keeps no such setting.
class HostPointerSettings
{
public:
    HostPointerSettings();
    ~HostPointerSettings();
    HostPointerSettings(const HostPointerSettings &) = delete;
    HostPointerSettings &operator=(const HostPointerSettings &) = delete;

    // The backends this session offers: the X server on an X11 session, the GNOME settings store
    // where its schema is installed, the KDE globals file on a KDE desktop.
    static std::unique_ptr<HostPointerSettings> forThisDesktop();
    // Made with forThisDesktop() on first use; the view uses it when no other instance was set.
    static HostPointerSettings &processDefault();

    void addBackend(std::unique_ptr<PointerBackend> backend);
    bool hasBackends() const { return !m_backends.empty(); }

    bool setCursorSpeed(quint32 speed);
    bool setDoubleClickTime(quint32 ms);
    bool setWheelScrollLines(quint32 lines);

private:
    template<typename Setter>
    bool offerToAll(Setter setter);

    std::vector<std::unique_ptr<PointerBackend>> m_backends;
};
