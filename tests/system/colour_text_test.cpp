#include <gtest/gtest.h>

#include "system/colour_text.h"

using namespace keeprun;

TEST(ColourText, WholeLiteralsWithOrWithoutAmpersands) {
    const struct {
        const char* text;
        std::optional<std::int32_t> want;
    } cases[] = {
        {"&HE0E0E0&", 0xE0E0E0},
        {"HE0E0E0", 0xE0E0E0},
        {"&H00C0FFC0", 0xC0FFC0},
        {"H00C0FFC0", 0xC0FFC0},
        {"&&H&FF", 0xFF},
        {"&hff", 255},
        {"&HFFFFFFFF", -1},
        {"&HFFFF", -1},
        {"h80ff80", 0x80FF80},
        {"&O17", 15},
        {" &HE0E0E0 ", 0xE0E0E0},
        {"HE0E0E0 \r\n", 0xE0E0E0},
        {"red", std::nullopt},
        {"", std::nullopt},
        {"&", std::nullopt},
        {"&H", std::nullopt},
        {"E0E0E0", std::nullopt},
        {"12345", std::nullopt},
        {"&HGG", std::nullopt},
        {"&HE0 E0", std::nullopt},
        {"&H123456789", std::nullopt},
        {"&O9", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(colour_text_value(c.text), c.want) << c.text;
}
