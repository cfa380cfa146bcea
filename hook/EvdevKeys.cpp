#include "EvdevKeys.h"

#include <linux/input-event-codes.h>

namespace EvdevKeys {

namespace {

struct ExtendedKey
{
    int evdevCode;
    quint8 scanCode;
};

// Keys sent with the E0 prefix.
constexpr ExtendedKey extendedKeys[] = {
    {KEY_KPENTER, 0x1C},  {KEY_RIGHTCTRL, 0x1D}, {KEY_KPSLASH, 0x35},  {KEY_RIGHTALT, 0x38},
    {KEY_HOME, 0x47},     {KEY_UP, 0x48},        {KEY_PAGEUP, 0x49},   {KEY_LEFT, 0x4B},
    {KEY_RIGHT, 0x4D},    {KEY_END, 0x4F},       {KEY_DOWN, 0x50},     {KEY_PAGEDOWN, 0x51},
    {KEY_INSERT, 0x52},   {KEY_DELETE, 0x53},    {KEY_LEFTMETA, 0x5B}, {KEY_RIGHTMETA, 0x5C},
    {KEY_COMPOSE, 0x5D},  {KEY_BREAK, 0x46},
    // Reported with the flag by low-level keyboard input although the keyboard sends no prefix;
    // the translation tables know these keys only that way.
    {KEY_NUMLOCK, 0x45},  {KEY_RIGHTSHIFT, 0x36},
};

} // namespace

std::optional<SetOneKey> setOneKey(int evdevCode, bool altDown, bool ctrlDown)
{
    for (const ExtendedKey &k : extendedKeys) {
        if (k.evdevCode == evdevCode)
            return SetOneKey{k.scanCode, true};
    }
    switch (evdevCode) {
    case KEY_SYSRQ:
        return altDown ? SetOneKey{0x54, false} : SetOneKey{0x37, true};
    case KEY_PAUSE:
        return ctrlDown ? SetOneKey{0x46, true} : SetOneKey{0x45, false};
    case KEY_F23:
        return SetOneKey{0x6E, false};
    case KEY_102ND:
    case KEY_F11:
    case KEY_F12:
        return SetOneKey{quint8(evdevCode), false};
    }
    // Up to the keypad's decimal point the kernel numbers the keys by their set-1 scan codes.
    if (evdevCode >= KEY_ESC && evdevCode <= KEY_KPDOT)
        return SetOneKey{quint8(evdevCode), false};
    return std::nullopt;
}

std::optional<KeyTranslation::MouseButton> buttonForXButton(int xButton)
{
    switch (xButton) {
    case 1:
        return KeyTranslation::MouseButton::Left;
    case 2:
        return KeyTranslation::MouseButton::Middle;
    case 3:
        return KeyTranslation::MouseButton::Right;
    }
    return std::nullopt;
}

void HeldModifiers::update(int evdevCode, bool pressed)
{
    unsigned bit = 0;
    switch (evdevCode) {
    case KEY_LEFTALT:
        bit = LeftAlt;
        break;
    case KEY_RIGHTALT:
        bit = RightAlt;
        break;
    case KEY_LEFTCTRL:
        bit = LeftCtrl;
        break;
    case KEY_RIGHTCTRL:
        bit = RightCtrl;
        break;
    default:
        return;
    }
    if (pressed)
        m_held |= bit;
    else
        m_held &= ~bit;
}

} // namespace EvdevKeys
