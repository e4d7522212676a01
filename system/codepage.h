#pragma once
// Code page 936, the code page of every file, ini value and server reply.
// Read and written as GB18030, which round-trips every character.
#include <string>
#include <string_view>

namespace keeprun {

// Bytes in code page 936 -> UTF-8. Undecodable bytes become U+FFFD and decoding
// goes on; byte 0x80 is the euro sign, as in code page 936.
std::string cp936_decode(std::string_view bytes);
// UTF-8 -> bytes in code page 936. Invalid UTF-8 is encoded as U+FFFD; the few characters
// without a code become "?".
std::string cp936_encode(std::string_view utf8);

} // namespace keeprun
