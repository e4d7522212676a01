#include "png_writer.h"
#include "system/codepage.h"
#include "ui/png_decode.h"

#include <gtest/gtest.h>
#include <string>

using namespace keeprun;
using keeprun::test::PngSpec;
using keeprun::test::write_png;
using namespace std::string_literals;

namespace {

constexpr int kW = 5, kH = 7; // odd sizes exercise every Adam7 pass and partial bytes

// A distinct raw sample for pixel i, channel c, within the bit depth.
unsigned raw_sample(int i, int c, int depth) {
    const unsigned max = depth == 16 ? 0xFFFF : (1u << depth) - 1;
    return (static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(c) * 40503u) % (max + 1);
}

// What an 8-bit channel of that sample becomes.
std::uint8_t as_8bit(unsigned v, int depth) {
    if (depth == 16) return static_cast<std::uint8_t>(v >> 8);
    return static_cast<std::uint8_t>(v * 255 / ((1u << depth) - 1));
}

// Pixel i's samples as the file holds them, and the RGBA they decode to.
struct Pixel {
    std::vector<unsigned> samples;
    std::uint8_t rgba[4];
};

Pixel pixel(int color_type, int depth, int i, const std::vector<std::uint8_t>& palette) {
    const auto raw = [&](int c) { return raw_sample(i, c, depth); };
    const auto px = [&](int c) { return as_8bit(raw(c), depth); };
    const unsigned entry = raw(0) * 3;
    switch (color_type) {
    case 0: // grey
        return {{raw(0)}, {px(0), px(0), px(0), 255}};
    case 2: // red, green, blue
        return {{raw(0), raw(1), raw(2)}, {px(0), px(1), px(2), 255}};
    case 3: // a palette entry
        return {{raw(0)}, {palette[entry], palette[entry + 1], palette[entry + 2], 255}};
    case 4: // grey, alpha
        return {{raw(0), raw(1)}, {px(0), px(0), px(0), px(1)}};
    default: // red, green, blue, alpha
        return {{raw(0), raw(1), raw(2), raw(3)}, {px(0), px(1), px(2), px(3)}};
    }
}

struct Built {
    std::string png;
    std::vector<std::uint8_t> rgba; // what decoding must give
};

Built build(int color_type, int depth, bool interlaced) {
    PngSpec s;
    s.width = kW;
    s.height = kH;
    s.color_type = color_type;
    s.bit_depth = depth;
    s.interlaced = interlaced;
    if (color_type == 3)
        for (unsigned e = 0; e < (1u << depth); ++e)
            s.palette.insert(s.palette.end(),
                             {static_cast<std::uint8_t>(e * 3), static_cast<std::uint8_t>(255 - e),
                              static_cast<std::uint8_t>(e * 7)});
    Built b;
    for (int y = 0; y < kH; ++y) {
        std::vector<std::uint8_t> row; // samples packed from the high bits down
        int bit = 0;
        for (int x = 0; x < kW; ++x) {
            const Pixel p = pixel(color_type, depth, y * kW + x, s.palette);
            for (const unsigned v : p.samples) {
                if (depth == 16) {
                    row.insert(row.end(),
                               {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
                    continue;
                }
                if (bit % 8 == 0) row.push_back(0);
                row.back() |= static_cast<std::uint8_t>(v << (8 - depth - bit % 8));
                bit += depth;
            }
            b.rgba.insert(b.rgba.end(), p.rgba, p.rgba + 4);
        }
        s.rows.push_back(row);
    }
    b.png = write_png(s);
    return b;
}

TEST(PngDecode, EveryColourTypeDepthAndInterlacing) {
    const struct {
        int type;
        std::vector<int> depths;
    } kinds[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    for (const auto& k : kinds)
        for (int depth : k.depths)
            for (bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << "type " << k.type << " depth " << depth
                                                << (interlaced ? " interlaced" : ""));
                const Built b = build(k.type, depth, interlaced);
                PngDecoded d;
                ASSERT_EQ(png_decode(b.png, false, d), png_ok);
                EXPECT_EQ(d.width, kW);
                EXPECT_EQ(d.height, kH);
                EXPECT_EQ(d.colour_type, k.type);
                EXPECT_EQ(d.bit_depth, depth);
                EXPECT_EQ(d.interlacing, interlaced ? 1 : 0);
                EXPECT_EQ(d.compression, 0);
                EXPECT_EQ(d.filter, 0);
                EXPECT_EQ(d.has_alpha, k.type == 4 || k.type == 6);
                EXPECT_EQ(d.rgba, b.rgba);
            }
}

// One black pixel: eight bytes hold it in any colour type and depth.
PngSpec one_pixel(int color_type) {
    PngSpec s;
    s.color_type = color_type;
    s.rows = {std::vector<std::uint8_t>(8, 0)};
    return s;
}

TEST(PngDecode, TextTimeAndGamma) {
    PngSpec s = one_pixel(6);
    s.text = {{"Title", "Hello"}, {"Author", cp936_encode("保持运行")}};
    s.ztext = {{"Comment", cp936_encode("压缩的说明文字") + std::string(300, 'z')}};
    s.time[0] = 2024, s.time[1] = 3, s.time[2] = 5, s.time[3] = 7, s.time[4] = 8, s.time[5] = 9;
    s.gamma = 45455;
    PngDecoded d;
    d.text_chunks = "kept";
    ASSERT_EQ(png_decode(write_png(s), false, d), png_ok);
    EXPECT_EQ(d.text_chunks, "keptTitle\0Hello\0Author\0保持运行\0"s);
    EXPECT_EQ(d.compressed_text_chunks, "Comment\0压缩的说明文字"s + std::string(300, 'z') + '\0');
    EXPECT_EQ(d.modified_time, "05.03.2024 07:08:09");
    EXPECT_DOUBLE_EQ(d.gamma, 0.45455);
}

TEST(PngDecode, BackgroundChunkAsWindowsColour) {
    const struct {
        int type, depth;
        int index, r, g, b, grey;
        std::int32_t want;
    } cases[] = {
        {2, 8, 0, 0x10, 0x20, 0x30, 0, 0x302010}, {6, 16, 0, 0x1000, 0x2000, 0xFF00, 0, 0xFF2010},
        {0, 8, 0, 0, 0, 0, 0x40, 0x404040},       {0, 2, 0, 0, 0, 0, 2, 0xAAAAAA},
        {3, 8, 1, 0, 0, 0, 0, 0x332211},
    };
    for (const auto& c : cases) {
        PngSpec s = one_pixel(c.type);
        s.bit_depth = c.depth;
        if (c.type == 3) s.palette = {0, 0, 0, 0x11, 0x22, 0x33};
        s.bkgd = true;
        s.bkgd_index = c.index, s.bkgd_r = c.r, s.bkgd_g = c.g, s.bkgd_b = c.b,
        s.bkgd_grey = c.grey;
        PngDecoded d;
        ASSERT_EQ(png_decode(write_png(s), false, d), png_ok) << c.type;
        EXPECT_TRUE(d.has_background_chunk) << c.type;
        EXPECT_EQ(d.background_colour, c.want) << c.type;
    }
    PngDecoded none;
    ASSERT_EQ(png_decode(write_png(one_pixel(2)), false, none), png_ok);
    EXPECT_FALSE(none.has_background_chunk);
}

TEST(PngDecode, TransparencyBecomesAlphaOnlyWhenAsked) {
    PngSpec pal = one_pixel(3);
    pal.width = 2;
    pal.rows = {{0, 1}};
    pal.palette = {255, 0, 0, 0, 255, 0};
    pal.trns_alpha = {255, 0};
    PngSpec rgb = one_pixel(2);
    rgb.width = 2;
    rgb.rows = {{1, 2, 3, 4, 5, 6}};
    rgb.trns_grey = 4, rgb.trns_g = 5, rgb.trns_b = 6;
    PngSpec grey = one_pixel(0);
    grey.width = 2;
    grey.rows = {{9, 10}};
    grey.trns_grey = 10;
    for (const PngSpec& s : {pal, rgb, grey}) {
        const std::string png = write_png(s);
        PngDecoded off, on;
        ASSERT_EQ(png_decode(png, false, off), png_ok);
        ASSERT_EQ(png_decode(png, true, on), png_ok);
        EXPECT_TRUE(off.has_transparency);
        EXPECT_FALSE(off.has_alpha);
        EXPECT_EQ(off.rgba[7], 255) << s.color_type;
        EXPECT_EQ(on.rgba[3], 255) << s.color_type;
        EXPECT_EQ(on.rgba[7], 0) << s.color_type;
        EXPECT_EQ(std::vector<std::uint8_t>(on.rgba.begin(), on.rgba.begin() + 3),
                  std::vector<std::uint8_t>(off.rgba.begin(), off.rgba.begin() + 3));
    }
}

// Raw chunk builder for damaged files (CRCs left zero: they are not checked).
std::string chunk(const std::string& type, const std::string& data) {
    std::string c;
    const auto n = static_cast<std::uint32_t>(data.size());
    c += static_cast<char>(n >> 24), c += static_cast<char>(n >> 16),
        c += static_cast<char>(n >> 8), c += static_cast<char>(n);
    return c + type + data + std::string(4, '\0');
}

const std::string kSig("\x89PNG\r\n\x1a\n", 8);

std::string ihdr(std::uint32_t w, std::uint32_t h, char depth = 8, char color_type = 6) {
    std::string d;
    for (std::uint32_t v : {w, h})
        d += static_cast<char>(v >> 24), d += static_cast<char>(v >> 16),
            d += static_cast<char>(v >> 8), d += static_cast<char>(v);
    return d + depth + color_type + std::string(3, '\0');
}

TEST(PngDecode, ErrorCodes) {
    const std::string good = test::rgba_png(1, 1, {1, 2, 3, 4});
    const struct {
        const char* what;
        std::string data;
        std::int32_t code;
    } cases[] = {
        {"empty", "", png_no_signature},
        {"text", "hello, this is not a picture", png_no_signature},
        {"signature cut", good.substr(0, 7), png_no_signature},
        {"gif", "GIF89a" + good.substr(6), png_no_signature},
        {"chunk cut", good.substr(0, good.size() - 20), png_chunk_overrun},
        {"no IEND", good.substr(0, good.size() - 12), png_chunk_overrun},
        {"huge length", kSig + chunk("IHDR", ihdr(1, 1)) + std::string("\xff\xff\xff\xf0IDAT", 8),
         png_chunk_overrun},
        {"no IDAT", kSig + chunk("IHDR", ihdr(1, 1)) + chunk("IEND", ""), png_no_image_data},
        {"only IEND", kSig + chunk("IEND", ""), png_no_image_data},
        {"no IHDR", kSig + chunk("IDAT", "xx") + chunk("IEND", ""), png_bad_image},
        {"short IHDR", kSig + chunk("IHDR", "abc") + chunk("IDAT", "x") + chunk("IEND", ""),
         png_bad_image},
        {"absurd size",
         kSig + chunk("IHDR", ihdr(100000, 100000)) + chunk("IDAT", "x") + chunk("IEND", ""),
         png_bad_image},
        {"data far too small for its size",
         kSig + chunk("IHDR", ihdr(8000, 8000)) + chunk("IDAT", std::string(1000, 'x')) +
             chunk("IEND", ""),
         png_bad_image},
        {"zero size", kSig + chunk("IHDR", ihdr(0, 5)) + chunk("IDAT", "x") + chunk("IEND", ""),
         png_bad_image},
        {"corrupt data",
         kSig + chunk("IHDR", ihdr(4, 4)) + chunk("IDAT", "not deflate at all") + chunk("IEND", ""),
         png_bad_image},
        {"grey of depth 0 with a background",
         kSig + chunk("IHDR", ihdr(1, 1, 0, 0)) + chunk("bKGD", std::string("\0\1", 2)) +
             chunk("IDAT", "x") + chunk("IEND", ""),
         png_bad_image},
        {"colour of depth 185 with a background",
         kSig + chunk("IHDR", ihdr(1, 1, '\xb9', 2)) + chunk("bKGD", std::string(6, '\1')) +
             chunk("IDAT", "x") + chunk("IEND", ""),
         png_bad_image},
    };
    for (const auto& c : cases) {
        PngDecoded d;
        EXPECT_EQ(png_decode(c.data, false, d), c.code) << c.what;
    }
}

TEST(PngDecode, IgnoresCrcAndUnknownChunksAndJoinsSplitImageData) {
    std::string png = test::rgba_png(2, 1, {1, 2, 3, 4, 5, 6, 7, 8});
    // Split the one IDAT into two with an unknown chunk between, CRCs zeroed.
    const std::size_t at = png.find("IDAT") - 4;
    const auto len = static_cast<std::size_t>(static_cast<unsigned char>(png[at + 3]));
    const std::string data = png.substr(at + 8, len);
    const std::string rebuilt = png.substr(0, at) + chunk("IDAT", data.substr(0, 3)) +
                                chunk("abCd", "whatever") + chunk("IDAT", data.substr(3)) +
                                chunk("IEND", "") + "trailing bytes after IEND";
    PngDecoded d;
    ASSERT_EQ(png_decode(rebuilt, false, d), png_ok);
    EXPECT_EQ(d.rgba, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PngDecode, DamagedFilesNeverCrash) {
    PngSpec s = one_pixel(3);
    s.width = 9, s.height = 9, s.bit_depth = 4, s.interlaced = true;
    s.palette = {1, 2, 3, 4, 5, 6};
    s.trns_alpha = {0};
    s.bkgd = true;
    s.ztext = {{"k", "some compressed text"}};
    s.time[0] = 2020, s.time[1] = 1, s.time[2] = 1;
    s.rows.assign(9, std::vector<std::uint8_t>(5, 0x10));
    const std::string png = write_png(s);
    // Every prefix, and every byte flipped: decode or fail, never read out of bounds.
    for (std::size_t n = 0; n < png.size(); ++n) {
        PngDecoded d;
        EXPECT_NE(png_decode(png.substr(0, n), true, d), png_ok) << n;
    }
    for (std::size_t i = 8; i < png.size(); ++i)
        for (unsigned char mask : {0x01, 0x80, 0xFF}) {
            std::string bad = png;
            bad[i] = static_cast<char>(bad[i] ^ mask);
            PngDecoded d;
            const std::int32_t rc = png_decode(bad, true, d);
            EXPECT_TRUE(rc == png_ok || rc == png_chunk_overrun || rc == png_no_image_data ||
                        rc == png_bad_image);
            if (rc == png_ok) {
                EXPECT_EQ(d.rgba.size(), static_cast<std::size_t>(d.width) * d.height * 4);
            }
        }
}

} // namespace
