#pragma once
// How the program reads numbers out of texts: every field, setting and server
// value goes through number_value, every rounding through round_half_even.
#include <string_view>

namespace keeprun {

// The number a text starts with. Blanks, tabs and line feeds are skipped anywhere;
// reading stops at the first other character that cannot continue the number.
// "2.5" -> 2.5, "12s" -> 12, "abc" -> 0, "2022 0211" -> 20220211, "-3" -> -3,
// "1e3" -> 1000, "&HFF" -> 255 (hexadecimal), "&O17" -> 15 (octal).
double number_value(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long round_half_even(double value);

} // namespace keeprun
