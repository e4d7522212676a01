#include "ui/png_decode.h"

#include "system/codepage.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace keeprun {
namespace {

constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// A compressed text larger than this is cut off.
constexpr std::size_t kMaxTextSize = 1u << 20;

std::uint32_t be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void put_be32(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void put_chunk(std::string& out, const char* type, std::string_view data) {
    put_be32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t from = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* p = reinterpret_cast<const Bytef*>(out.data() + from);
    put_be32(out, static_cast<std::uint32_t>(crc32(0, p, static_cast<uInt>(out.size() - from))));
}

std::string two(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string inflate_text(std::string_view data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buf[4096];
    int rc = Z_OK;
    while (rc == Z_OK && out.size() < kMaxTextSize) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, sizeof buf - z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break; // truncated: keep what came
    }
    inflateEnd(&z);
    return out;
}

// "keyword NUL compression-method compressed-text" -> "keyword NUL text".
std::string ztxt_contents(std::string_view data) {
    const std::size_t nul = data.find('\0');
    if (nul == std::string_view::npos || nul + 2 > data.size()) return std::string(data);
    return std::string(data.substr(0, nul + 1)) + inflate_text(data.substr(nul + 2));
}

// The chunks that the class reports on and the ones libpng needs for the pixels.
struct Walk {
    std::string_view ihdr, plte, trns, bkgd;
    std::string idat;
};

std::int32_t walk_chunks(std::string_view bytes, Walk& w, PngDecoded& out) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return png_no_signature;
    std::size_t pos = 8;
    bool have_idat = false;
    for (;;) {
        if (bytes.size() - pos < 12) return png_chunk_overrun;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
        const std::uint32_t len = be32(p);
        if (len > bytes.size() - pos - 12) return png_chunk_overrun;
        const std::string_view type(bytes.data() + pos + 4, 4);
        const std::string_view data(bytes.data() + pos + 8, len);
        pos += 12 + static_cast<std::size_t>(len);
        if (type == "IEND") break;
        if (type == "IHDR")
            w.ihdr = data;
        else if (type == "PLTE")
            w.plte = data;
        else if (type == "tRNS")
            w.trns = data;
        else if (type == "bKGD")
            w.bkgd = data;
        else if (type == "IDAT") {
            w.idat.append(data);
            have_idat = true;
        } else if (type == "gAMA" && len == 4) {
            out.gamma = be32(reinterpret_cast<const unsigned char*>(data.data())) / 100000.0;
        } else if (type == "tEXt") {
            out.text_chunks += cp936_decode(data) + '\0';
        } else if (type == "zTXt") {
            out.compressed_text_chunks += cp936_decode(ztxt_contents(data)) + '\0';
        } else if (type == "tIME" && len == 7) {
            const auto* t = reinterpret_cast<const unsigned char*>(data.data());
            out.modified_time = two(t[3]) + "." + two(t[2]) + "." +
                                std::to_string(t[0] << 8 | t[1]) + " " + two(t[4]) + ":" +
                                two(t[5]) + ":" + two(t[6]);
        }
    }
    return have_idat ? png_ok : png_no_image_data;
}

std::int32_t bgr(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::int32_t>(r | g << 8 | b << 16);
}

// The background chunk as 0x00BBGGRR, 16-bit samples cut to their high byte.
void read_bkgd(std::string_view data, std::string_view plte, PngDecoded& out) {
    const auto* d = reinterpret_cast<const unsigned char*>(data.data());
    const auto* pal = reinterpret_cast<const unsigned char*>(plte.data());
    const auto sample = [&](int i) -> unsigned {
        const unsigned v = static_cast<unsigned>(d[i] << 8 | d[i + 1]);
        return out.bit_depth == 16 ? v >> 8 : (v * 255u) / ((1u << out.bit_depth) - 1);
    };
    if (out.colour_type == 3 && data.size() >= 1 && d[0] * 3u + 3 <= plte.size()) {
        out.background_colour = bgr(pal[d[0] * 3], pal[d[0] * 3 + 1], pal[d[0] * 3 + 2]);
    } else if ((out.colour_type == 0 || out.colour_type == 4) && data.size() >= 2) {
        const unsigned g = sample(0) & 0xFF;
        out.background_colour = bgr(g, g, g);
    } else if ((out.colour_type == 2 || out.colour_type == 6) && data.size() >= 6) {
        out.background_colour = bgr(sample(0) & 0xFF, sample(2) & 0xFF, sample(4) & 0xFF);
    } else {
        return;
    }
    out.has_background_chunk = true;
}

int channels(int color_type) {
    switch (color_type) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// The bit depths the format allows for a colour type; no other header is read further.
bool valid_depth(int color_type, int depth) {
    switch (color_type) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

struct Reader {
    std::string_view data;
    std::size_t pos = 0;
};

void read_from(png_structp png, png_bytep to, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (n > r->data.size() - r->pos) png_error(png, "read past the end");
    std::memcpy(to, r->data.data() + r->pos, n);
    r->pos += n;
}

void quiet_warning(png_structp, png_const_charp) {}
// Damaged files are expected here: fail without writing to standard error.
[[noreturn]] void quiet_error(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Runs libpng over a stream rebuilt from the gathered chunks. Kept free of C++
// objects with destructors because libpng leaves by longjmp on an error.
bool decode_pixels(const std::string& stream, std::uint32_t width, std::uint32_t height,
                   std::uint8_t* pixels, png_bytep* rows) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    Reader reader{stream, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, read_from);
    png_set_user_limits(png, width, height);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    png_set_expand(png); // palette and small grey to 8 bits, tRNS (when kept) to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width * 4u) png_error(png, "unexpected row size");
    for (std::uint32_t y = 0; y < height; ++y)
        rows[y] = pixels + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::int32_t png_decode(std::string_view bytes, bool trans_to_alpha, PngDecoded& out) {
    Walk w;
    if (const std::int32_t rc = walk_chunks(bytes, w, out); rc != png_ok) return rc;
    if (w.ihdr.size() != 13) return png_bad_image;
    const auto* h = reinterpret_cast<const unsigned char*>(w.ihdr.data());
    const std::uint32_t width = be32(h), height = be32(h + 4);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        static_cast<std::uint64_t>(width) * height > kPngMaxPixels)
        return png_bad_image;
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    out.bit_depth = h[8];
    out.colour_type = h[9];
    out.compression = h[10];
    out.filter = h[11];
    out.interlacing = h[12];
    out.has_alpha = out.colour_type == 4 || out.colour_type == 6;
    if (!valid_depth(out.colour_type, out.bit_depth)) return png_bad_image;
    // Deflate packs at most about 1032 bytes into one: image data that cannot
    // fill the picture is refused before its pixels are allocated.
    const std::uint64_t row_bytes = (static_cast<std::uint64_t>(width) * channels(out.colour_type) *
                                         static_cast<std::uint64_t>(out.bit_depth) +
                                     7) /
                                    8;
    if (static_cast<std::uint64_t>(w.idat.size()) * 1032 < row_bytes * height) return png_bad_image;
    out.has_transparency = !w.trns.empty();
    if (!w.bkgd.empty()) read_bkgd(w.bkgd, w.plte, out);

    // The transparency chunk goes to libpng only when it is to become alpha.
    std::string stream(reinterpret_cast<const char*>(kSignature), 8);
    put_chunk(stream, "IHDR", w.ihdr);
    if (!w.plte.empty()) put_chunk(stream, "PLTE", w.plte);
    if (trans_to_alpha && !w.trns.empty()) put_chunk(stream, "tRNS", w.trns);
    put_chunk(stream, "IDAT", w.idat);
    put_chunk(stream, "IEND", {});

    out.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    std::vector<png_bytep> rows(height);
    if (!decode_pixels(stream, width, height, out.rgba.data(), rows.data())) {
        out.rgba.clear();
        return png_bad_image;
    }
    return png_ok;
}

} // namespace keeprun
