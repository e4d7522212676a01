#pragma once
// When a second-kind slot's rule comes due.
#include <string_view>

namespace keeprun {

// 1 while the rule is due at the clock time ("HH:mm:ss"), else 0. A preset rule
// is due from one second after its full hour, half hour or minute for six seconds;
// any other rule is a time of day and due from that time to five seconds after;
// a rule that is neither is never due.
int is_due(std::string_view rule, std::string_view clock);

} // namespace keeprun
