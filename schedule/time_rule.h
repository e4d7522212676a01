#pragma once
// When a second-kind slot's rule comes due.
#include <optional>
#include <string_view>

namespace keeprun {

// While the rule is due at the clock time ("HH:mm:ss"): the start of the due
// window, in seconds after midnight; nothing when it is not due. A preset rule
// is due from one second after its full hour, half hour or minute for six seconds;
// any other rule is a time of day and due from that time to five seconds after;
// a rule that is neither is never due.
std::optional<int> due_window(std::string_view rule, std::string_view clock);

} // namespace keeprun
