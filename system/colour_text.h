#pragma once
// Colour texts from the server and the colour scheme: "&HC0FFC0", "HC0FFC0&",
// "&H00C0FFC0" all mean the Windows colour value 0xC0FFC0 (0x00BBGGRR).
#include <cstdint>
#include <optional>
#include <string_view>

namespace keeprun {

// Every "&" removed and one put in front, then read as a whole numeric literal:
// "&H" with 1 to 8 hexadecimal digits or "&O" with 1 to 11 octal digits, blanks
// and line breaks allowed at either end. Anything else is no colour.
std::optional<std::int32_t> colour_text_value(std::string_view text);

} // namespace keeprun
