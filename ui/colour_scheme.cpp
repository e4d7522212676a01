#include "ui/colour_scheme.h"

#include "system/numbers.h"

#include <stdexcept>
#include <string>

namespace keeprun {
namespace {

std::int32_t g_dise_yanse = 0;

bool digit_of(char c, int radix) {
    if (c >= '0' && c <= '9') return c - '0' < radix;
    return radix == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

// What follows the "&": "H" and 1..8 hexadecimal digits, or "O" and 1..11 octal
// digits, blanks allowed at either end. The number reader would take a prefix of
// anything; the colour text must be the literal as a whole.
std::string whole_literal(std::string_view body) {
    const std::size_t first = body.find_first_not_of(" \t");
    const std::size_t last = body.find_last_not_of(" \t");
    if (first == std::string_view::npos) return {};
    body = body.substr(first, last - first + 1);
    const char kind = body[0];
    const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    const std::string_view digits = body.substr(1);
    if (radix == 0 || digits.empty() || digits.size() > (radix == 16 ? 8u : 11u)) return {};
    for (char c : digits)
        if (!digit_of(c, radix)) return {};
    return "&" + std::string(body);
}

} // namespace

std::int32_t scheme_colour_value(std::string_view text) {
    std::string body;
    for (char c : text)
        if (c != '&') body += c;
    const std::string lit = whole_literal(body);
    if (lit.empty()) throw std::invalid_argument("colour text is not a number");
    return static_cast<std::int32_t>(number_value(lit));
}

void d_底色更改(std::string_view text, SchemeWindow& window) {
    const std::int32_t ys = scheme_colour_value(text);
    g_dise_yanse = ys;
    window.set_form_back(ys);
    window.set_check_sx_back(ys);
    for (int i = 0; i <= 6; ++i)
        window.set_picdi_back(i, ys);
    for (int k = 1; k <= 4; ++k) {
        window.ucf_fa1(k).a_set_ys(ys);
        window.ucf_fa2(k).a_set_ys(ys);
    }
}

std::int32_t dise_yanse() {
    return g_dise_yanse;
}

} // namespace keeprun
