#include "ReportCipher.h"

#include <utility>

namespace ReportCipher {

const Block cipherKey = {'Q', 'u', 'M', 'v', 'X', 'a', 'L', 'p'};

namespace {

std::uint8_t swapNibbles(std::uint8_t x)
{
    return static_cast<std::uint8_t>((x << 4) | (x >> 4));
}

// The byte swaps are their own inverse.
void swapPairs(std::uint8_t *b)
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

void xorSecrecy(std::uint8_t *b, const std::uint8_t *s)
{
    for (int i = 1; i <= 6; ++i)
        b[i] ^= s[i];
}

} // namespace

std::uint8_t checksum(const std::uint8_t *bytes)
{
    std::uint8_t sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(~sum);
}

void encipher(std::uint8_t *b, const std::uint8_t *secrecyCode)
{
    swapPairs(b);
    xorSecrecy(b, secrecyCode);
    // Rotate the 64-bit big-endian value left by 3.
    const std::uint8_t first = b[0];
    for (int i = 0; i < 7; ++i)
        b[i] = static_cast<std::uint8_t>((b[i] << 3) | (b[i + 1] >> 5));
    b[7] = static_cast<std::uint8_t>((b[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(b[i] + swapNibbles(cipherKey[i]));
}

void decipher(std::uint8_t *b, const std::uint8_t *secrecyCode)
{
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(b[i] - swapNibbles(cipherKey[i]));
    // Rotate right by 3.
    const std::uint8_t last = b[7];
    for (int i = 7; i > 0; --i)
        b[i] = static_cast<std::uint8_t>((b[i] >> 3) | (b[i - 1] << 5));
    b[0] = static_cast<std::uint8_t>((b[0] >> 3) | (last << 5));
    xorSecrecy(b, secrecyCode);
    swapPairs(b);
}

} // namespace ReportCipher
