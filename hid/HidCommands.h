#pragma once

#include <QtGlobal>

#include <array>

class HidTransport;

// What each device command is, in one place. A slot of Hid_Thread names its command here and hands
// over its parameters; runCommand does the rest: the token, the report, the exchange, the results.
namespace HidCommands {

enum class Kind : quint8 {
    Write,     // hidSend: command report, then the data phase out when there is one
    Read,      // hidSendRead: command report, reply report, then the data phase in
    Sequenced, // the 560 repeat rule: p1 = 1, 2, 3, 4 with the value in p2; a gun model gets only 1
};

struct Command
{
    quint8 code;
    Kind kind;
    bool settle;       // 128 ms settle pause after the report and after the data phase
    int pauseAfterMs;  // fixed pause after the exchange
    bool zeroReply;    // the reply starts all zero instead of holding the caller's values
    const char *failLine; // written when the token cannot be taken
};

// 553 family
inline constexpr Command c553_00H_GetSecrecyCode{0x00, Kind::Read, false, 0, true, "cmd Failed 00"};
inline constexpr Command c553_01H_SetReportRate{0x01, Kind::Write, true, 0, false, "cmd Failed 01"};
inline constexpr Command c553_02H_SetCurrentKeyMatrix{0x02, Kind::Write, true, 0, false, "cmd Failed 02"};
inline constexpr Command c553_03H_SetKeyboardoption{0x03, Kind::Write, false, 8, false, "cmd Failed 03"};
inline constexpr Command c553_04H_SetGunData{0x04, Kind::Write, false, 8, false, "cmd Failed 04"};
inline constexpr Command c553_0BH_SetCurrentDPI{0x0B, Kind::Write, true, 0, false, "cmd Failed 0B"};
inline constexpr Command c553_0CH_SetFixLEDColor{0x0C, Kind::Write, true, 0, false, "cmd Failed 0C"};
inline constexpr Command c553_0DH_SetRGBLedEffect{0x0D, Kind::Write, true, 0, false, "cmd Failed 0D"};
inline constexpr Command c553_10H_SetLED8StageColor{0x10, Kind::Write, true, 0, false, "cmd Failed 10"};
inline constexpr Command c553_11H_SetDPISet{0x11, Kind::Write, true, 0, false, "cmd Failed 11"};
inline constexpr Command c553_12H_SetKeyMatrix{0x12, Kind::Write, true, 0, false, "cmd Failed 12"};
inline constexpr Command c553_13H_SetMacroKey{0x13, Kind::Write, true, 0, false, "cmd Failed 13"};
inline constexpr Command c553_83H_GetKeyboardoption{0x83, Kind::Read, false, 0, false, "cmd Failed 83"};
inline constexpr Command c553_8BH_GetCurrentDPI{0x8B, Kind::Read, false, 0, false, "cmd Failed 8BH"};

// 560 family
inline constexpr Command c560_01H_SetKeyboardoption{0x01, Kind::Write, false, 8, false, "cmd Failed 01"};
inline constexpr Command c560_02H_SetCurrentProfile{0x02, Kind::Write, false, 8, false, "cmd Failed 02"};
inline constexpr Command c560_03H_SetReportRate{0x03, Kind::Sequenced, true, 0, false, "cmd Failed 03"};
inline constexpr Command c560_04H_SetCurrentDPI{0x04, Kind::Sequenced, true, 0, false, "cmd Failed 04"};
inline constexpr Command c560_0CH_setProfile{0x0C, Kind::Write, true, 0, false, "cmd Failed 0C"};
inline constexpr Command c560_0DH_SetKeyMatrix{0x0D, Kind::Write, true, 0, false, "cmd Failed 0D"};
inline constexpr Command c560_0FH_SetMacroKey{0x0F, Kind::Write, true, 0, false, "cmd Failed 0F"};
inline constexpr Command c560_81H_GetKeyboardoption{0x81, Kind::Read, false, 0, false, "cmd Failed 81"};
inline constexpr Command c560_82H_GetCurrentProfile{0x82, Kind::Read, false, 0, false, "cmd Failed 82"};
inline constexpr Command c560_84H_GetCurrentDPI{0x84, Kind::Read, false, 0, false, "cmd Failed 84"};
inline constexpr Command c560_8CH_readProfile{0x8C, Kind::Read, false, 0, true, "cmd Failed 8c"};

// The arguments of one call.
struct Args
{
    std::array<quint8, 6> params{};
    // Data phase of `length` bytes. Out: the first `blockBytes` bytes of `block`, then zeros.
    // In: `block` starts the data block and receives it back whole, so bytes not received keep
    // their values.
    quint8 *block = nullptr;
    int blockBytes = 0;
    int length = 0;
    // Reply bytes r1, r2, … are copied to these; unless the command has zeroReply they also
    // prefill the reply, so a reply that never comes leaves them as they were.
    std::array<quint8 *, 4> results{};
    // Sequenced commands: send only the first report (gun models).
    bool once = false;
};

// Runs one command. False when the token could not be taken (the fail line is logged) or when an
// exchange did not complete; the slots drop the result, the probe uses it.
bool runCommand(HidTransport &transport, const Command &command, Args args);

} // namespace HidCommands
