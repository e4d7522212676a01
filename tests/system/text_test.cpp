#include <gtest/gtest.h>

#include <cstdint>

#include "system/delay.h"
#include "system/numbers.h"
#include "system/text.h"
#include "system/utf.h"

using namespace keeprun;

TEST(NumberValue, ReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double want;
    } cases[] = {{"8", 8},
                 {"2.5", 2.5},
                 {"12s", 12},
                 {"abc", 0},
                 {"", 0},
                 {"2022 0211", 20220211},
                 {"\r5", 0},
                 {" \t7\n", 7},
                 {"-3", -3},
                 {"+4", 4},
                 {".5", 0.5},
                 {"1e3", 1000},
                 {"1d2", 100},
                 {"1e", 1},
                 {"3.5.1", 3.5},
                 {"&HFF", 255},
                 {"&HC0FFC0", 0xC0FFC0},
                 {"&HFFFF", -1},
                 {"&O17", 15},
                 {"&", 0},
                 {"20220210abc", 20220210},
                 {"1e999", 0},
                 {"-", 0},
                 {"1,5", 1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(number_value(c.text), c.want) << c.text;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, long long> cases[] = {
        {2.5, 2}, {3.5, 4},   {6.5, 6},   {7.5, 8},
        {0.4, 0}, {-2.5, -2}, {20.6, 21}, {1e300, 9200000000000000000LL}};
    for (auto [v, want] : cases)
        EXPECT_EQ(round_half_even(v), want) << v;
}

TEST(Utf16, CountsCodeUnits) {
    EXPECT_EQ(utf16_length("abc"), 3u);
    EXPECT_EQ(utf16_length("中文"), 2u);
    EXPECT_EQ(utf16_length("\xF0\x9F\x98\x80"), 2u); // outside the basic plane: a surrogate pair
    EXPECT_EQ(from_u16(to_u16("a中\xF0\x9F\x98\x80")), "a中\xF0\x9F\x98\x80");
    EXPECT_EQ(to_u16("\xFF"), u"\uFFFD");
}

TEST(CharacterFilter, KeepsAllowedCharacters) {
    EXPECT_EQ(keep_only_chars("x: 100 * 200", "0123456789*"), "100*200");
    EXPECT_EQ(keep_chars_spaced("x: 100 * 200", "0123456789"), "100 200");
    EXPECT_EQ(keep_chars_spaced("a1b22c", "0123456789"), "1 22");
    EXPECT_EQ(keep_only_chars("", "0123"), "");
    EXPECT_EQ(keep_only_chars("abc", "0123"), "");
    EXPECT_EQ(keep_only_chars("1 2", "12 "), "12");
    EXPECT_EQ(keep_chars_spaced("中1文文2", "12"), "1 2");
}

TEST(ValueBetweenMarkers, LastMarkedValueWins) {
    EXPECT_EQ(text_between("a[x]b[y]c", "[", "]"), "y");
    EXPECT_EQ(text_between("abc", "[", "]"), "");
    EXPECT_EQ(text_between("[a[b]", "[", "]"), "b");
}

TEST(FixedWidthLines, CutsIntoLines) {
    EXPECT_EQ(wrap_text("abcdefghij", 2, 2), "abcdef\r\nghij");
    EXPECT_EQ(wrap_text("", 2, 2), "");
    EXPECT_EQ(wrap_text("中文中文", 1, 1), "中文\r\n中文");
}

TEST(RandomDigits, Lengths) {
    EXPECT_EQ(random_digits(4).size(), 4u);
    const std::string seven = random_digits(9);
    EXPECT_TRUE(seven.size() == 7 || seven == "999999") << seven;
    EXPECT_EQ(keep_only_chars(random_digits(3), "0123456789").size(), 3u);
    EXPECT_EQ(random_digits(0), "");
}

TEST(Resources, TimeRuleText) {
    const std::string text = custom_resource_text("SHIJIAN", 2);
    EXPECT_EQ(text.rfind("整点重启\r\n整点和半点重启\r\n0/4/8/12/16/20整点重启\r\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 10), "\r\n23:59:00");
    std::size_t lines = 1;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 1446u);
    EXPECT_NE(text.find("\r\n每小时的第15分钟重启\r\n00:00:00\r\n00:01:00\r\n"), std::string::npos);
    EXPECT_EQ(custom_resource_text("SHIJIAN", 3), "");
    EXPECT_EQ(custom_resource_text("NOPE", 2), "");
    EXPECT_EQ(custom_resource_text("101", 1), text);
}

TEST(Delay, WaitsPumpsAndSurvivesTheWrap) {
    std::uint32_t now = 0xFFFFFF00u; // 256 ms before the counter wraps
    int pumps = 0;
    set_tick_source([&] { return now; });
    set_message_pump([&] {
        ++pumps;
        now += 50;
    });
    wait_pumping_events(1.0);
    EXPECT_EQ(pumps, 20);
    pumps = 0;
    wait_pumping_events(0);
    wait_pumping_events(-1);
    EXPECT_EQ(pumps, 0);
    set_message_pump({});
    set_tick_source({});
}
