// url_encode over any text: the result is plain ASCII and decodes back to the
// text's UTF-16 code units.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "net/url_encode.h"
#include "system/utf.h"

using keeprun::fuzz::require;

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1; // lower case is not what the encoder writes
}

// Reads `n` hexadecimal digits at `at`.
unsigned hex_at(const std::string& s, std::size_t at, std::size_t n) {
    require(at + n <= s.size(), "a complete escape");
    unsigned v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int d = hex_digit(s[at + i]);
        require(d >= 0, "upper-case hexadecimal digits in an escape");
        v = v * 16 + static_cast<unsigned>(d);
    }
    return v;
}

std::u16string decode(const std::string& encoded) {
    std::u16string out;
    for (std::size_t i = 0; i < encoded.size();) {
        const char c = encoded[i];
        require(c > ' ' && c < 0x7F, "only visible ASCII characters");
        if (c != '%') {
            out += static_cast<char16_t>(c);
            ++i;
        } else if (i + 1 < encoded.size() && encoded[i + 1] == 'u') {
            const unsigned v = hex_at(encoded, i + 2, 4);
            require(v >= 255, "%u only for codes from 255");
            out += static_cast<char16_t>(v);
            i += 6;
        } else {
            const unsigned v = hex_at(encoded, i + 1, 2);
            require(v <= 254, "%XX only for codes up to 254");
            out += static_cast<char16_t>(v);
            i += 3;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string encoded = keeprun::url_encode(text);
    require(decode(encoded) == keeprun::to_u16(text), "the encoding decodes to the text");
    return 0;
}
