#include "net/url_encode.h"

#include <string_view>

#include "system/utf.h"

namespace keeprun {
namespace {

bool kept(char16_t c) {
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return true;
    return std::u16string_view(u"-_.!~*'()").find(c) != std::u16string_view::npos;
}

void append_hex(std::string& out, unsigned value, int digits) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xF];
}

} // namespace

std::string url_encode(std::string_view text) {
    std::string out;
    for (char16_t c : to_u16(text)) {
        if (kept(c)) {
            out += static_cast<char>(c);
        } else if (c <= 254) {
            out += '%';
            append_hex(out, c, 2);
        } else {
            out += "%u";
            append_hex(out, c, 4);
        }
    }
    return out;
}

} // namespace keeprun
