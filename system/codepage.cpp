#include "system/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "system/gb18030_table.h"
#include "system/utf.h"

namespace keeprun {
namespace {

using gb18030::two_byte_count;

constexpr char32_t euro_sign = 0x20AC;
constexpr char32_t replacement = 0xFFFD;

bool is_lead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool is_digit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

// Position of a second byte among the 190 of the two-byte area, or -1.
int trail_position(unsigned char b) {
    if (b >= 0x40 && b <= 0x7E) return b - 0x40;
    if (b >= 0x80 && b <= 0xFE) return b - 0x41;
    return -1;
}

char32_t two_byte_code_point(int position, std::uint16_t code) {
    if (const char32_t cp = gb18030::two_byte[position]) return cp;
    const auto& above = gb18030::two_byte_above_bmp;
    return std::find_if(above.begin(), above.end(), [&](const auto& a) { return a.code == code; })
        ->code_point;
}

// 0 where the four-byte code stands for no character.
char32_t four_byte_code_point(std::uint32_t index) {
    if (index >= gb18030::above_bmp_first_index) {
        const char32_t cp = index - gb18030::above_bmp_first_index + 0x10000;
        return cp <= 0x10FFFF ? cp : 0;
    }
    const auto& runs = gb18030::four_byte_bmp;
    const auto next =
        std::upper_bound(runs.begin(), runs.end(), index,
                         [](std::uint32_t i, const auto& r) { return i < r.first_index; });
    if (next == runs.begin()) return 0;
    const gb18030::FourByteRun& run = *(next - 1);
    const std::uint32_t offset = index - run.first_index;
    return offset < run.length ? run.first_code_point + offset : 0;
}

struct Decoded {
    char32_t code_point;
    std::size_t length; // 0 when no character starts here
};

Decoded decode_at(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) -> unsigned char {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    const unsigned char b0 = byte(0), b1 = byte(1);
    if (b0 < 0x80) return {b0, 1};
    if (!is_lead(b0)) return {0, 0};
    if (const int t = trail_position(b1); t >= 0)
        return {two_byte_code_point((b0 - 0x81) * gb18030::trails_per_lead + t,
                                    static_cast<std::uint16_t>(b0 << 8 | b1)),
                2};
    if (!is_digit(b1) || !is_lead(byte(2)) || !is_digit(byte(3))) return {0, 0};
    const char32_t cp = four_byte_code_point(((b0 - 0x81) * 10u + (b1 - 0x30)) * 1260u +
                                             (byte(2) - 0x81) * 10u + (byte(3) - 0x30));
    return {cp, cp ? 4u : 0u};
}

// The code of each BMP character: a two-byte position, two_byte_count + a four-byte index, or
// none. Built once from the decoding tables so both directions agree by construction.
struct BmpCodes {
    static constexpr std::uint16_t none = 0xFFFF;
    std::array<std::uint16_t, 0x10000> of;

    BmpCodes() {
        of.fill(none);
        for (int p = 0; p < two_byte_count; ++p)
            if (const char32_t cp = gb18030::two_byte[p]) of[cp] = static_cast<std::uint16_t>(p);
        for (const gb18030::FourByteRun& r : gb18030::four_byte_bmp)
            for (std::uint32_t k = 0; k < r.length; ++k)
                of[r.first_code_point + k] =
                    static_cast<std::uint16_t>(two_byte_count + r.first_index + k);
    }
};

void append_two_byte(std::string& out, int position) {
    const int t = position % gb18030::trails_per_lead;
    out += static_cast<char>(0x81 + position / gb18030::trails_per_lead);
    out += static_cast<char>(t < 0x3F ? 0x40 + t : 0x41 + t);
}

void append_four_byte(std::string& out, std::uint32_t index) {
    out += static_cast<char>(0x81 + index / 12600);
    out += static_cast<char>(0x30 + index / 1260 % 10);
    out += static_cast<char>(0x81 + index / 10 % 126);
    out += static_cast<char>(0x30 + index % 10);
}

void append_code(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp == euro_sign) {
        out += '\x80';
    } else if (cp > 0xFFFF) {
        const auto& above = gb18030::two_byte_above_bmp;
        const auto two = std::find_if(above.begin(), above.end(),
                                      [&](const auto& a) { return a.code_point == cp; });
        if (two == above.end()) {
            append_four_byte(out, cp - 0x10000 + gb18030::above_bmp_first_index);
        } else {
            out += static_cast<char>(two->code >> 8);
            out += static_cast<char>(two->code & 0xFF);
        }
    } else {
        static const BmpCodes codes;
        const std::uint16_t code = codes.of[cp];
        if (code == BmpCodes::none) {
            // A few private-use code points whose GB18030 codes now stand for real characters.
            out += '?';
        } else if (code < two_byte_count) {
            append_two_byte(out, code);
        } else {
            append_four_byte(out, code - two_byte_count);
        }
    }
}

} // namespace

std::string cp936_decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded d = decode_at(bytes, i);
        if (d.length > 0) {
            append_utf8(out, d.code_point);
            i += d.length;
        } else {
            // Code page 936 has the euro sign at 0x80, which GB18030 leaves out.
            append_utf8(out,
                        static_cast<unsigned char>(bytes[i]) == 0x80 ? euro_sign : replacement);
            ++i;
        }
    }
    return out;
}

std::string cp936_encode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        append_code(out, next_code_point(utf8, i));
    return out;
}

} // namespace keeprun
