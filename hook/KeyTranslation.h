#pragma once

#include <QHash>
#include <QtGlobal>

#include <array>

// Translation of raw key and button input into the codes the mouse firmware stores: a key is
// identified by its PC set-1 scan code and extended flag, mapped to a virtual-key code and from there
// to a USB HID usage ID of the Keyboard/Keypad page. Mouse buttons get the codes 0xF0 to 0xF2.
namespace KeyTranslation {

// Key of scanCodeTable: scan code in the high byte, extended flag in bit 0.
using ScanCodeTable = QHash<quint16, quint8>;
// Virtual-key code to usage ID.
using UsageTable = QHash<quint8, quint8>;

ScanCodeTable buildScanCodeTable();
// isoBackslash moves the backslash key (virtual key 0xDC) to the ISO usage 0x32.
UsageTable buildUsageTable(bool isoBackslash);

// Virtual-key code of a key event, 0 when the key is unknown. Two keys are decided outside the
// table: Ctrl+Break (0x46 extended) reports as Pause, Alt+SysRq (0x54 with Alt held) as Print Screen.
quint8 virtualKeyFor(const ScanCodeTable &table, quint32 scanCode, bool extended, bool altDown);

// Usage ID of a virtual-key code, 0 when it has none.
quint8 usageFor(const UsageTable &table, quint8 virtualKey);

// The last state reported for each usage, so that auto-repeat reports one press and a release is
// reported only for a key whose press was.
class KeyDownState
{
public:
    // Records the state and tells whether it changed, i.e. whether the event is to be reported.
    bool change(quint8 usage, bool pressed);
    bool isDown(quint8 usage) const { return m_down[usage]; }

private:
    std::array<bool, 256> m_down{};
};

enum class MouseButton { Left, Right, Middle };

constexpr quint8 MouseCodeLeft = 0xF0;
constexpr quint8 MouseCodeRight = 0xF1;
constexpr quint8 MouseCodeMiddle = 0xF2;

quint8 mouseCode(MouseButton button);

} // namespace KeyTranslation
