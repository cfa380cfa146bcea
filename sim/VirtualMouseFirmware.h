#pragma once

#include "VirtualMouseMemory.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The mouse's side of both command sets, without any transport: a deciphered, checksum-checked
// command goes in; the memory changes and the answer (reply, data phase to expect or to send) comes
// out. Not thread-safe; VirtualMouse serialises the calls.
class VirtualMouseFirmware
{
public:
    struct Answer
    {
        // False for an unknown command or unusable parameters; the mouse then ignores the report.
        bool accepted = false;
        QString error;
        // r0 to r7, plain: r0 echoes the code, r7 is the checksum of r0 to r6.
        std::array<std::uint8_t, 8> reply{};
        // Commands with a data phase answer with a plain reply even on enciphering devices.
        bool plainReply = false;
        // Bytes the program will send as the data phase of this command.
        int dataOutLength = 0;
        // Bytes the mouse sends as the data phase of this command.
        QByteArray dataIn;
    };

    explicit VirtualMouseFirmware(const VirtualMouseConfig &config);

    // `command` holds the 8 bytes after the report ID: code, p1 to p6, checksum.
    Answer command(const std::uint8_t *command);
    // The complete data phase of the last command whose answer asked for one.
    void dataPhase(const QByteArray &data);

    VirtualMouseMemory &memory() { return m_memory; }
    const VirtualMouseMemory &memory() const { return m_memory; }

private:
    Answer command553(std::uint8_t code, const std::uint8_t *p);
    Answer command560(std::uint8_t code, const std::uint8_t *p);

    VirtualMouseConfig m_config;
    VirtualMouseMemory m_memory;
    // The command waiting for its data phase: code and p1, p2.
    std::uint8_t m_pendingCode = 0;
    std::uint8_t m_pendingP1 = 0;
};
