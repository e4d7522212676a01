#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace keeprun {

// The pieces of `text` between occurrences of `sep` (n separators give n + 1 pieces).
std::vector<std::string> split_text(std::string_view text, std::string_view sep);

} // namespace keeprun
