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

// The code point at byte i of a UTF-8 text, moving i past it; invalid sequences give U+FFFD
// and move one byte.
char32_t next_code_point(std::string_view utf8, std::size_t& i);
void append_utf8(std::string& out, char32_t code_point);

} // namespace keeprun
