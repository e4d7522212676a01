// The PNG decoder over any bytes, with and without transparency to alpha.
#include <cstdint>
#include <string_view>

#include "fuzzing/support.h"
#include "ui/png_decode.h"

using keeprun::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the transparency setting, the rest is the file.
    const bool trans = data[0] & 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    keeprun::PngDecoded out;
    const std::int32_t rc = keeprun::png_decode(bytes, trans, out);
    require(rc == keeprun::png_ok || rc == keeprun::png_no_signature ||
                rc == keeprun::png_chunk_overrun || rc == keeprun::png_no_image_data ||
                rc == keeprun::png_bad_image,
            "a known code");
    if (rc != keeprun::png_ok) return 0;
    require(out.width > 0 && out.height > 0, "a decoded image has a size");
    require(static_cast<std::uint64_t>(out.width) * static_cast<std::uint64_t>(out.height) <=
                keeprun::kPngMaxPixels,
            "no image above the pixel limit");
    require(out.rgba.size() ==
                static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 4,
            "four bytes per pixel");
    return 0;
}
