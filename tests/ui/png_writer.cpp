#include "png_writer.h"

#include <png.h>
#include <stdexcept>

namespace keeprun::test {
namespace {

void append(png_structp png, png_bytep data, png_size_t n) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}
void no_flush(png_structp) {}

} // namespace

std::string write_png(const PngSpec& s) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng refused the test image");
    }
    png_set_write_fn(png, &out, append, no_flush);
    png_set_IHDR(png, info, s.width, s.height, s.bit_depth, s.color_type,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    for (std::size_t i = 0; i + 2 < s.palette.size(); i += 3)
        pal.push_back({s.palette[i], s.palette[i + 1], s.palette[i + 2]});
    if (!pal.empty()) png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    png_color_16 trans{};
    if (!s.trns_alpha.empty())
        png_set_tRNS(png, info, s.trns_alpha.data(), static_cast<int>(s.trns_alpha.size()),
                     nullptr);
    if (s.trns_grey >= 0) {
        trans.gray = trans.red = static_cast<png_uint_16>(s.trns_grey);
        trans.green = static_cast<png_uint_16>(s.trns_g);
        trans.blue = static_cast<png_uint_16>(s.trns_b);
        png_set_tRNS(png, info, nullptr, 0, &trans);
    }
    png_color_16 bg{};
    if (s.bkgd) {
        bg.index = static_cast<png_byte>(s.bkgd_index);
        bg.red = static_cast<png_uint_16>(s.bkgd_r);
        bg.green = static_cast<png_uint_16>(s.bkgd_g);
        bg.blue = static_cast<png_uint_16>(s.bkgd_b);
        bg.gray = static_cast<png_uint_16>(s.bkgd_grey);
        png_set_bKGD(png, info, &bg);
    }
    if (s.gamma) png_set_gAMA_fixed(png, info, s.gamma);
    std::vector<png_text> texts;
    for (const auto& [k, v] : s.text)
        texts.push_back({PNG_TEXT_COMPRESSION_NONE, const_cast<char*>(k.c_str()),
                         const_cast<char*>(v.c_str()), v.size(), 0, nullptr, nullptr});
    for (const auto& [k, v] : s.ztext)
        texts.push_back({PNG_TEXT_COMPRESSION_zTXt, const_cast<char*>(k.c_str()),
                         const_cast<char*>(v.c_str()), v.size(), 0, nullptr, nullptr});
    if (!texts.empty()) png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    png_time t{};
    if (s.time[0]) {
        t.year = static_cast<png_uint_16>(s.time[0]);
        t.month = static_cast<png_byte>(s.time[1]);
        t.day = static_cast<png_byte>(s.time[2]);
        t.hour = static_cast<png_byte>(s.time[3]);
        t.minute = static_cast<png_byte>(s.time[4]);
        t.second = static_cast<png_byte>(s.time[5]);
        png_set_tIME(png, info, &t);
    }
    std::vector<png_bytep> rows;
    for (const auto& r : s.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string rgba_png(int width, int height, const std::vector<std::uint8_t>& pixels) {
    PngSpec s;
    s.width = width;
    s.height = height;
    for (int y = 0; y < height; ++y)
        s.rows.emplace_back(pixels.begin() + y * width * 4, pixels.begin() + (y + 1) * width * 4);
    return write_png(s);
}

} // namespace keeprun::test
