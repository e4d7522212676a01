#pragma once
// A launcher's arguments kept as one text, as a slot stores them: words
// separated by blanks; a word with a blank, a quote or a backslash is written
// in double quotes, with '"' and '\' escaped by a backslash.
#include <string>
#include <string_view>
#include <vector>

namespace keeprun {

std::string join_argument_text(const std::vector<std::string>& words);
std::vector<std::string> split_argument_text(std::string_view text);

} // namespace keeprun
