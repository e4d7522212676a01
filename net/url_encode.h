#pragma once
// The percent-encoding of every request body.
#include <string>
#include <string_view>

namespace keeprun {

// Encodes by UTF-16 code unit: digits, ASCII letters and - _ . ! ~ * ' ( ) stay;
// codes up to 254 become "%XX", codes from 255 "%uXXXX" (upper-case hexadecimal).
std::string url_encode(std::string_view text);

} // namespace keeprun
