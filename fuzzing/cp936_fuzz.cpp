// The code page 936 decoder over any bytes: it gives valid UTF-8, and what it
// gives survives being written back and read again (a file read and saved
// keeps its text).
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "system/codepage.h"
#include "system/utf.h"

using keeprun::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = keeprun::cp936_decode(bytes);
    require(keeprun::from_u16(keeprun::to_u16(text)) == text, "the decoder gives valid UTF-8");
    require(keeprun::cp936_decode(keeprun::cp936_encode(text)) == text,
            "a decoded text survives encoding and decoding");
    // The same bytes taken as (maybe broken) UTF-8 by the encoder.
    keeprun::cp936_encode(bytes);
    return 0;
}
