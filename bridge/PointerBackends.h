#pragma once

#include "HostPointerSettings.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Opaque handles, so that neither Xlib's nor GLib's macros reach Qt code.
struct _XDisplay;
struct _GSettings;

// X server pointer control: the core pointer's acceleration factor, applied to motion beyond the
// server's threshold. Speed 10 (the page's middle) gives 2/1, the server's own default; the factor
// grows linearly with the speed, speed/5, so 1 gives 1/5 and 20 gives 4/1. The threshold is left
// as it is. Lasts until the X server ends.
struct XAcceleration
{
    int numerator;
    int denominator;
};
XAcceleration xAccelerationForSpeed(quint32 speed);

class XPointerBackend final : public PointerBackend
{
public:
    // Null when the display cannot be opened; an empty name means $DISPLAY.
    static std::unique_ptr<XPointerBackend> open(const QByteArray &displayName = {});
    ~XPointerBackend() override;

    bool setCursorSpeed(quint32 speed) override;

private:
    explicit XPointerBackend(_XDisplay *display) : m_display(display) {}
    _XDisplay *m_display;
};

// GNOME's "speed" runs from -1 (slowest) through 0 (the desktop default) to 1 (fastest). The page's
// middle, 10, is mapped onto 0 and each half of the scale linearly onto its half of the range:
// 1 … 10 onto -1 … 0, 10 … 20 onto 0 … 1.
double gnomeSpeedForSpeed(quint32 speed);

inline constexpr char kGnomeMouseSchema[] = "org.gnome.desktop.peripherals.mouse";

// A GSettings schema with the keys "speed" (double) and "double-click" (int, ms). Values go through
// the schema's own type and range checks and are flushed to the store before a setter returns.
class GioPointerBackend final : public PointerBackend
{
public:
    // Null when the schema is not installed, or when GIO fell back to a store of its own for want
    // of the desktop's (a change would then count as taken while reaching nothing). A store asked
    // for through GSETTINGS_BACKEND is accepted.
    static std::unique_ptr<GioPointerBackend> open(const char *schemaId = kGnomeMouseSchema);
    ~GioPointerBackend() override;

    bool setCursorSpeed(quint32 speed) override;
    bool setDoubleClickTime(quint32 ms) override;

private:
    explicit GioPointerBackend(_GSettings *settings) : m_settings(settings) {}
    _GSettings *m_settings;
};

// Tells running KDE programs to reread their mouse settings (a session-bus signal); does nothing
// without a session bus.
void announceKdeMouseSettingsChanged();

// Sets group/key to value in the text of a KDE configuration file and leaves every other line as it
// was. Returns nothing when the file, the group or the key is marked immutable.
std::optional<QByteArray> withKdeConfigEntry(const QByteArray &text, const QByteArray &group,
                                             const QByteArray &key, const QByteArray &value);

// The KDE globals file, group [KDE]: "DoubleClickInterval" in ms and "WheelScrollLines" (Qt's
// scroll views never move more than a page per notch, so 1000 keeps its meaning there). After a write the
// announcer runs so that running programs pick the value up.
class KdeGlobalsPointerBackend final : public PointerBackend
{
public:
    explicit KdeGlobalsPointerBackend(QString filePath,
                                      std::function<void()> announce = announceKdeMouseSettingsChanged);

    bool setDoubleClickTime(quint32 ms) override;
    bool setWheelScrollLines(quint32 lines) override;

private:
    bool writeEntry(const QByteArray &key, quint32 value);

    QString m_filePath;
    std::function<void()> m_announce;
};
