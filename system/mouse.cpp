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
    std::string_view rest = pos.substr(star + 1);
    rest = rest.substr(0, rest.find('*'));
    return ScreenPoint{pixel(pos.substr(0, star)), pixel(rest)};
}

std::string coordinate_text(ScreenPoint point) {
    return std::to_string(point.x) + "*" + std::to_string(point.y);
}

} // namespace keeprun
