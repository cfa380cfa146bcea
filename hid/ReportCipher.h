#pragma once

#include <array>
#include <cstdint>

// The command-report cipher and checksum. The mouse firmware uses the same functions, so the virtual
// mouse shares them with the transport.
namespace ReportCipher {

using Block = std::array<std::uint8_t, 8>;

// The eight ASCII letters every device shares.
extern const Block cipherKey;

// Bitwise NOT of the 8-bit sum of the seven bytes at `bytes` (command code and p1 to p6).
std::uint8_t checksum(const std::uint8_t *bytes);

// In place on the 8 bytes after the report ID (code, p1..p6, checksum). Only bytes 1 to 6 of
// `secrecyCode` take part.
void encipher(std::uint8_t *bytes, const std::uint8_t *secrecyCode);
void decipher(std::uint8_t *bytes, const std::uint8_t *secrecyCode);

} // namespace ReportCipher
