#include <gtest/gtest.h>

#include "system/codepage.h"

using namespace keeprun;

TEST(Codepage936, RoundTrips) {
    const std::string texts[] = {"", "abc", "打开程序1", "关闭程序[*]测试", "€", "㐀𠀀"};
    for (const auto& t : texts)
        EXPECT_EQ(cp936_decode(cp936_encode(t)), t) << t;
}

TEST(Codepage936, KnownBytes) {
    EXPECT_EQ(cp936_encode("中"), "\xD6\xD0");
    EXPECT_EQ(cp936_decode("\xD6\xD0"), "中");
    EXPECT_EQ(cp936_encode("€"), "\x80");
    EXPECT_EQ(cp936_decode("\x80"), "€");
    // A GBK second byte may be "[" or "\": decoding must keep the pair together.
    EXPECT_EQ(cp936_decode("\x81\x5B"), "\u4E55");
}

TEST(Codepage936, BadBytesBecomeReplacementAndDecodingGoesOn) {
    EXPECT_EQ(cp936_decode("a\xFF"
                           "b"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(cp936_decode("a\xD6"), "a\uFFFD");
    EXPECT_EQ(cp936_encode("a\xFF"
                           "b"),
              "a" + cp936_encode("\uFFFD") + "b");
}

TEST(Codepage936, CharactersWithoutACodeBecomeQuestionMarks) {
    // Private-use code points whose GB18030 codes were given to real characters.
    EXPECT_EQ(cp936_encode("a\uE78D\uE864b"), "a??b");
}
