#pragma once
// Which of a slot's fields take effect; the window decides how that looks.
#include <array>
#include <optional>

namespace keeprun {

struct Marks {
    // The path box holds a path (rather than the hint or some other text).
    bool path_is_program = false;
    // Per click position: whether it counts as set (and its delay with it).
    std::array<bool, 4> position_set{};
    // Second kind: whether the restart rule and close time lists are switched on.
    std::optional<std::array<bool, 2>> rule_lists_on;
};

} // namespace keeprun
