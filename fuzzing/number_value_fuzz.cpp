// The number reader over any text, and the rounding over any double.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzzing/support.h"
#include "system/numbers.h"

using keeprun::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double v = keeprun::number_value(text);
    require(std::isfinite(v), "a text reads as a finite number");
    const long long r = keeprun::round_half_even(v);
    require(std::fabs(v) > 9e18 || std::fabs(static_cast<double>(r) - v) <= 0.5,
            "rounding moves a value by at most one half");

    // The first eight bytes as a double: the rounding takes anything, and a
    // number written out (as the slots write their waits) reads back exactly.
    if (size < sizeof(double)) return 0;
    double d;
    std::memcpy(&d, data, sizeof d);
    keeprun::round_half_even(d);
    if (!std::isfinite(d)) return 0;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    require(keeprun::number_value(std::string_view(buf, res.ptr)) == d,
            "a written number reads back as itself");
    return 0;
}
