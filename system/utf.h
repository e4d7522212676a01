#pragma once
// UTF-8 <-> UTF-16. The program counts characters the way its texts were
// counted on Windows: in UTF-16 code units.
#include <string>
#include <string_view>

namespace keeprun {

std::u16string to_u16(std::string_view utf8);
std::string from_u16(std::u16string_view text);
// Number of UTF-16 code units of a UTF-8 text.
std::size_t utf16_length(std::string_view utf8);

} // namespace keeprun
