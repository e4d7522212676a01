#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "net/config_sections.h"

using namespace keeprun;
using namespace keeprun::test;

namespace {

const std::string kValid =
    "[biaoti]守护助手[biaoti]\r\n"
    "[banben]20220210[banben]\r\n"
    "[shengji]http://dl/new.html[shengji]\r\n"
    "[tuichu]http://bye[tuichu]\r\n"
    "[kf1]帮助[*]http://k1[kf1][kf2]问题[*]http://k2[kf2][kf3]客服[*]http://k3[kf3]\r\n"
    "[zdy1]一[*]http://z1[zdy1][zdy2]二[*]http://z2[*]extra[zdy2][zdy3]三[*]http://z3[zdy3]"
    "[zdy4]四[*]http://z4[zdy4][zdy5]五[*][zdy5]\r\n"
    "[peise]&HE0E0E0&[peise]\r\n"
    "[exe]\r\na.exe = b.exe\r\nnotes\r\nC.EXE=D.EXE\r\n[exe]\r\n"
    "[news]公告[news]";

const std::vector<std::string> kAllCalls = {
    "caption 守护助手",     "exit http://bye",      "link1 帮助|http://k1",
    "link2 问题|http://k2", "link3 客服|http://k3", "button1 一|http://z1",
    "button2 二|http://z2", "button3 三|http://z3", "button4 四|http://z4",
    "button5 五|",          "background 14737632",  "aliases A.EXE=B.EXE C.EXE=D.EXE",
};

// `text` with the whole section of `marker` (both markers and value) replaced.
std::string with_section(const std::string& marker, const std::string& section,
                         std::string text = kValid) {
    const std::size_t first = text.find(marker);
    const std::size_t second = text.find(marker, first + marker.size());
    return text.replace(first, second + marker.size() - first, section);
}

std::string without(const std::string& marker) {
    return with_section(marker, "");
}

std::vector<std::string> first_calls(std::size_t n) {
    return {kAllCalls.begin(), kAllCalls.begin() + static_cast<std::ptrdiff_t>(n)};
}

} // namespace

TEST(SectionValue, IsTheSecondPieceOfTheTextSplitAtTheMarker) {
    EXPECT_EQ(section_value("a[x] v \r\n[x]b[x]", "[x]"), " v \r\n");
    EXPECT_EQ(section_value("[x][x]", "[x]"), "");
    EXPECT_EQ(section_value("[X]v[X]", "[x]"), std::nullopt);
    // A single marker runs to the end, over later sections.
    EXPECT_EQ(section_value("[biaoti]T\r\n[banben]1[banben]", "[biaoti]"),
              "T\r\n[banben]1[banben]");
}

TEST(FillExeAliasTable, TakesLinesWithExeSplitAtEquals) {
    struct Case {
        std::string section;
        bool ok;
        ExeAliasTable want;
    } cases[] = {
        {"a.exe = b.exe\r\nnotes\r\nC.EXE=D.EXE", true, {{"A.EXE", "B.EXE"}, {"C.EXE", "D.EXE"}}},
        {"\r\n  launcher.exe  =  game.exe  \r\n", true, {{"LAUNCHER.EXE", "GAME.EXE"}}},
        // Rows that are not one file name for another are ignored.
        {"A.EXE=B.EXE=C.EXE\r\nXTERM=BASH=.EXE\r\nE.EXE=F.EXE", true, {{"E.EXE", "F.EXE"}}},
        {"a.exe=bin/b.exe\r\nc:\\x\\a.exe=b.exe\r\nG.EXE=H.EXE", true, {{"G.EXE", "H.EXE"}}},
        {"程序.exe=游戏.Exe", true, {{"程序.EXE", "游戏.EXE"}}},
        {"no programs here", true, {}},
        {"EXE files\r\nnone", true, {}},
        {"a.exe=b.exe\r\nx.exe", false, {{"A.EXE", "B.EXE"}}},
    };
    for (const auto& c : cases) {
        ExeAliasTable table{{"OLD.EXE", "ROW.EXE"}};
        EXPECT_EQ(fill_exe_alias_table(c.section, table), c.ok) << c.section;
        EXPECT_EQ(table, c.want) << c.section;
    }
}

TEST(FillExeAliasTable, HoldsAtMost99Rows) {
    std::string rows;
    for (int i = 1; i <= 99; ++i)
        rows += "p" + std::to_string(i) + ".exe=q.exe\r\n";
    ExeAliasTable table;
    EXPECT_TRUE(fill_exe_alias_table(rows, table));
    EXPECT_EQ(table.size(), 99u);
    EXPECT_FALSE(fill_exe_alias_table(rows + "p100.exe=q.exe", table));
}

TEST(ApplyServerText, AppliesSectionBySectionAndStopsAtTheFirstFault) {
    struct Case {
        const char* what;
        std::string text;
        ConfigOutcome outcome;
        std::vector<std::string> calls;
        std::string upgrade_link;
    } cases[] = {
        {"every section", kValid, ConfigOutcome::accepted, kAllCalls, ""},
        {"no colour", without("[peise]"), ConfigOutcome::accepted,
         [] {
             auto c = kAllCalls;
             c.erase(c.begin() + 10);
             return c;
         }(),
         ""},
        {"same version", with_section("[banben]", "[banben]20220210[banben]"),
         ConfigOutcome::accepted, kAllCalls, ""},
        {"newer version", with_section("[banben]", "[banben]20220211[banben]"),
         ConfigOutcome::forced_upgrade, first_calls(1), "http://dl/new.html"},
        {"newer with letters", with_section("[banben]", "[banben]20220301abc[banben]"),
         ConfigOutcome::forced_upgrade, first_calls(1), "http://dl/new.html"},
        {"upgrade ignores the rest",
         with_section("[banben]", "[banben]20230101[banben]").erase(kValid.find("[tuichu]")),
         ConfigOutcome::forced_upgrade, first_calls(1), "http://dl/new.html"},
        {"upgrade without a link",
         with_section("[banben]", "[banben]20230101[banben]", without("[shengji]")),
         ConfigOutcome::malformed, first_calls(1), ""},
        {"no link needed without upgrade", without("[shengji]"), ConfigOutcome::accepted, kAllCalls,
         ""},
        {"no title", without("[biaoti]"), ConfigOutcome::malformed, {}, ""},
        {"no version", without("[banben]"), ConfigOutcome::malformed, first_calls(1), ""},
        {"no exit link", without("[tuichu]"), ConfigOutcome::malformed, first_calls(1), ""},
        {"link without [*]", with_section("[kf2]", "[kf2]问题 http://k2[kf2]"),
         ConfigOutcome::malformed, first_calls(3), ""},
        {"colour not a number", with_section("[peise]", "[peise]red[peise]"),
         ConfigOutcome::malformed, first_calls(10), ""},
        {"alias line without =", with_section("[exe]", "[exe]x.exe[exe]"), ConfigOutcome::malformed,
         first_calls(11), ""},
        {"no announcement", without("[news]"), ConfigOutcome::accepted, kAllCalls, ""},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        const AppliedText r = apply_server_text(c.text, target);
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
        EXPECT_EQ(target.calls, c.calls) << c.what;
        EXPECT_EQ(r.upgrade_url, c.upgrade_link) << c.what;
        if (c.outcome == ConfigOutcome::accepted) {
            EXPECT_EQ(r.exe_alias_table.size(), 2u) << c.what;
        }
    }
}
