#pragma once
// Writes test images through libpng into memory.
#include <cstdint>
#include <string>
#include <vector>

namespace keeprun::test {

struct PngSpec {
    int width = 1, height = 1;
    int color_type = 6, bit_depth = 8;
    bool interlaced = false;
    // Packed rows as libpng takes them (big-endian 16-bit samples).
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint8_t> palette;    // R G B per entry
    std::vector<std::uint8_t> trns_alpha; // palette alphas
    int trns_grey = -1;                   // grey or R value that is transparent
    int trns_g = 0, trns_b = 0;
    bool bkgd = false;
    int bkgd_index = 0, bkgd_r = 0, bkgd_g = 0, bkgd_b = 0, bkgd_grey = 0;
    long gamma = 0; // times 100000; 0: none
    std::vector<std::pair<std::string, std::string>> text, ztext;
    int time[6] = {0, 0, 0, 0, 0, 0}; // year, month, day, hour, minute, second; 0 year: none
};

std::string write_png(const PngSpec& spec);

// A plain 8-bit RGBA image of the given pixels (R G B A each).
std::string rgba_png(int width, int height, const std::vector<std::uint8_t>& pixels);

} // namespace keeprun::test
