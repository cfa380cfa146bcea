#pragma once

#include <QtGlobal>

#include <optional>

#include "KeyTranslation.h"

// What Linux input layers report, turned into what the key translation expects. Key codes are the
// kernel's input event codes; X key codes are those plus X11KeycodeOffset.
namespace EvdevKeys {

constexpr int X11KeycodeOffset = 8;

struct SetOneKey
{
    quint8 scanCode = 0;
    bool extended = false;

    friend bool operator==(const SetOneKey &a, const SetOneKey &b)
    {
        return a.scanCode == b.scanCode && a.extended == b.extended;
    }
};

// The PC set-1 scan code a keyboard sends for the key, as low-level keyboard input reports it.
// Print Screen with Alt held is SysRq (0x54) and Pause with Ctrl held is Break (0x46 extended), as
// on the keyboard itself. Empty for keys without a set-1 code of the standard layout.
std::optional<SetOneKey> setOneKey(int evdevCode, bool altDown, bool ctrlDown);

// Left, right and middle of the X button numbers 1, 3, 2; empty for the wheel and other buttons.
std::optional<KeyTranslation::MouseButton> buttonForXButton(int xButton);

// Which Alt and Ctrl keys are held, followed from the key events themselves.
class HeldModifiers
{
public:
    void update(int evdevCode, bool pressed);
    bool alt() const { return m_held & (LeftAlt | RightAlt); }
    bool ctrl() const { return m_held & (LeftCtrl | RightCtrl); }

private:
    enum : unsigned { LeftAlt = 1, RightAlt = 2, LeftCtrl = 4, RightCtrl = 8 };
    unsigned m_held = 0;
};

} // namespace EvdevKeys
