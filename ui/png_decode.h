#pragma once
// PNG decoding without any window system: the chunk walk that the picture class
// reports on, then the pixels through libpng as 8-bit RGBA rows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keeprun {

// Codes of a failed decode.
enum PngError : std::int32_t {
    png_ok = 0,
    png_no_signature = 1,  // the data does not begin with the PNG signature
    png_chunk_overrun = 3, // a chunk's length runs past the end of the data
    png_no_image_data = 4, // "IEND" reached without any image data
    png_bad_image = 5,     // header or image data that cannot be decoded
};

struct PngDecoded {
    std::int32_t width = 0, height = 0, bit_depth = 0, colour_type = 0;
    std::int32_t compression = 0, filter = 0, interlacing = 0;
    bool has_alpha = false;        // colour types 4 and 6
    bool has_transparency = false; // a "tRNS" chunk
    bool has_background_chunk = false;
    std::int32_t background_colour = 0; // 0x00BBGGRR
    // Each text chunk's keyword and text, decoded from code page 936, each
    // followed by a NUL character.
    std::string text_chunks, compressed_text_chunks;
    // "dd.mm.yyyy hh:mm:ss" of the "tIME" chunk.
    std::string modified_time;
    double gamma = 0;
    // width * height pixels, R G B A; alpha 255 unless the image has an alpha
    // channel or, when asked, a transparency chunk.
    std::vector<std::uint8_t> rgba;
};

// Images above this many pixels are refused (png_bad_image).
constexpr std::uint64_t kPngMaxPixels = 1u << 26;

// Decodes `bytes` into `out`; `trans_to_alpha` turns a transparency chunk into
// alpha. Returns png_ok or the code of the failure; never reads past `bytes`.
std::int32_t png_decode(std::string_view bytes, bool trans_to_alpha, PngDecoded& out);

} // namespace keeprun
