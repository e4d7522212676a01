#pragma once
// GB18030 as glibc's iconv maps it (tools/gb18030 makes the tables from iconv), so code page 936
// reads and writes the same bytes on every platform.
#include <cstdint>
#include <span>

namespace keeprun::gb18030 {

// Two-byte codes: lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE.
inline constexpr int trails_per_lead = 190;
inline constexpr int two_byte_count = 126 * trails_per_lead;
// Four-byte codes b1 b2 b3 b4 count from 0x81308130 in steps of b4, b3, b2, b1.
inline constexpr std::uint32_t four_byte_count = 126 * 10 * 126 * 10;
// From 0x90308130 the codes run linearly through the planes above the BMP.
inline constexpr std::uint32_t above_bmp_first_index = 189000;

// The code point of each two-byte code, in code order; 0 for the few above the BMP.
extern const std::uint16_t two_byte[two_byte_count];

struct TwoByteAbove {
    std::uint16_t code; // lead << 8 | trail
    char32_t code_point;
};
// The two-byte codes of characters above the BMP, which also keep their linear four-byte code.
extern const std::span<const TwoByteAbove> two_byte_above_bmp;

// Consecutive four-byte codes for consecutive BMP code points, in code order.
struct FourByteRun {
    std::uint16_t first_index;
    std::uint16_t first_code_point;
    std::uint16_t length;
};
extern const std::span<const FourByteRun> four_byte_bmp;

} // namespace keeprun::gb18030
