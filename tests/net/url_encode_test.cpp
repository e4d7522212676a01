#include <gtest/gtest.h>

#include "net/url_encode.h"

using namespace keeprun;

TEST(UrlEncode, EncodesByUtf16CodeUnit) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"a b+c", "a%20b%2Bc"},
        {"~*'()", "~*'()"},
        {"-_.!", "-_.!"},
        {"%", "%25"},
        {"=", "%3D"},
        {"\t\r\n", "%09%0D%0A"},
        {"AZaz09", "AZaz09"},
        {"\xC3\xBE", "%FE"},    // U+00FE: 254, still two digits
        {"\xC3\xBF", "%u00FF"}, // U+00FF: 255 takes the long form
        {"中", "%u4E2D"},
        {"\xF0\x9F\x98\x80", "%uD83D%uDE00"}, // outside the basic plane: two code units
        {"20261208*1234", "20261208*1234"},
    };
    for (const auto& [in, want] : cases)
        EXPECT_EQ(url_encode(in), want) << in;
}
