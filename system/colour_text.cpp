#include "system/colour_text.h"

#include <string>

#include "system/numbers.h"

namespace keeprun {
namespace {

bool digit_of(char c, int radix) {
    if (c >= '0' && c <= '9') return c - '0' < radix;
    return radix == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

} // namespace

std::optional<std::int32_t> colour_text_value(std::string_view text) {
    std::string body;
    for (char c : text)
        if (c != '&') body += c;
    // The number reader would take a prefix of anything; a colour must be the
    // literal as a whole.
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = body.find_first_not_of(blanks);
    if (first == std::string::npos) return std::nullopt;
    body = body.substr(first, body.find_last_not_of(blanks) - first + 1);
    const char kind = body[0];
    const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    const std::string_view digits = std::string_view(body).substr(1);
    if (radix == 0 || digits.empty() || digits.size() > (radix == 16 ? 8u : 11u))
        return std::nullopt;
    for (char c : digits)
        if (!digit_of(c, radix)) return std::nullopt;
    return static_cast<std::int32_t>(number_value("&" + body));
}

} // namespace keeprun
