#include "system/mouse.h"

#include <algorithm>
#include <cmath>

#include "system/numbers.h"

namespace keeprun {
namespace {

// Far beyond any screen, but safe to round and to hand to the display.
constexpr double kFarthest = 1e6;

int pixel(std::string_view piece) {
    const double v = number_value(piece);
    if (std::isnan(v)) return 0;
    return static_cast<int>(round_half_even(std::clamp(v, -kFarthest, kFarthest)));
}

} // namespace

std::optional<ScreenPoint> parse_coordinate(std::string_view pos) {
    const std::size_t star = pos.find('*');
    if (star == std::string_view::npos) return std::nullopt;
    const std::string_view x = pos.substr(0, star);
    std::string_view y = pos.substr(star + 1);
    y = y.substr(0, y.find('*'));
    // "12*" or "*" would click at the screen's edge or corner.
    const auto has_digit = [](std::string_view piece) {
        return piece.find_first_of("0123456789") != std::string_view::npos;
    };
    if (!has_digit(x) || !has_digit(y)) return std::nullopt;
    return ScreenPoint{pixel(x), pixel(y)};
}

std::string coordinate_text(ScreenPoint point) {
    return std::to_string(point.x) + "*" + std::to_string(point.y);
}

} // namespace keeprun
