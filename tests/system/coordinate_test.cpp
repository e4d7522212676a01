#include <gtest/gtest.h>

#include "system/mouse.h"

namespace keeprun {
namespace {

TEST(Coordinates, ParsedAsTheSlotsWriteThem) {
    const std::pair<const char*, std::optional<ScreenPoint>> cases[] = {
        {"100*200", ScreenPoint{100, 200}}, {"100*200*300", ScreenPoint{100, 200}},
        {" 1 0*2 0", ScreenPoint{10, 20}},  {"12.5*3.5", ScreenPoint{12, 4}},
        {"-5*-6", ScreenPoint{-5, -6}},     {"1e30*1", ScreenPoint{1000000, 1}},
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(parse_coordinate(text), want) << text;
    // A point needs a number on both sides of "*".
    for (const char* text : {"*200", "100*", "*", "abc*7", "640x480", ""})
        EXPECT_EQ(parse_coordinate(text), std::nullopt) << text;
    EXPECT_EQ(coordinate_text({1024, 768}), "1024*768");
    EXPECT_EQ(parse_coordinate(coordinate_text({-3, 7})), (ScreenPoint{-3, 7}));
}

} // namespace
} // namespace keeprun
