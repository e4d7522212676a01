#include "system/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace keeprun {
namespace {

bool skipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Hexadecimal or octal literal after "&H" / "&O": up to 4 digits it is a 16-bit
// value, up to 8 a 32-bit one, as the numeric literals of the program's origin.
double radix_value(std::string_view digits, int radix) {
    std::uint64_t v = 0;
    int n = 0;
    for (char c : digits) {
        if (skipped(c)) continue;
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0 || d >= radix) break;
        v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (++n > 11 || v > 0xFFFFFFFFu) return 0; // overflow: no value
    }
    if (v <= 0xFFFF && n <= (radix == 16 ? 4 : 6))
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v)));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

} // namespace

double number_value(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (!skipped(c)) clean += c;
    if (clean.size() >= 2 && clean[0] == '&') {
        const char k = clean[1];
        if (k == 'H' || k == 'h') return radix_value(std::string_view(clean).substr(2), 16);
        if (k == 'O' || k == 'o') return radix_value(std::string_view(clean).substr(2), 8);
        return 0;
    }
    // Longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::size_t i = 0;
    std::string lit;
    if (i < clean.size() && (clean[i] == '+' || clean[i] == '-')) lit += clean[i++];
    bool digits = false;
    while (i < clean.size() && clean[i] >= '0' && clean[i] <= '9')
        lit += clean[i++], digits = true;
    if (i < clean.size() && clean[i] == '.') {
        lit += clean[i++];
        while (i < clean.size() && clean[i] >= '0' && clean[i] <= '9')
            lit += clean[i++], digits = true;
    }
    if (!digits) return 0;
    if (i < clean.size() &&
        (clean[i] == 'e' || clean[i] == 'E' || clean[i] == 'd' || clean[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < clean.size() && (clean[j] == '+' || clean[j] == '-')) exp += clean[j++];
        bool exp_digits = false;
        while (j < clean.size() && clean[j] >= '0' && clean[j] <= '9')
            exp += clean[j++], exp_digits = true;
        if (exp_digits) lit += exp;
    }
    // from_chars, not strtod: the locale must not change what a text means.
    const bool negative = lit[0] == '-';
    const std::size_t from = (lit[0] == '-' || lit[0] == '+') ? 1 : 0;
    double v = 0;
    std::from_chars(lit.data() + from, lit.data() + lit.size(), v);
    if (negative) v = -v;
    return std::isfinite(v) ? v : 0;
}

long long round_half_even(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double limit = 9.2e18;
    if (value > limit) return static_cast<long long>(limit);
    if (value < -limit) return static_cast<long long>(-limit);
    return static_cast<long long>(std::nearbyint(value)); // default rounding mode: ties to even
}

} // namespace keeprun
