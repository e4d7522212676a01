#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "net/server_config.h"

using namespace keeprun;
using namespace keeprun::test;

namespace {

const MirrorUrls kMirrors{"http://one/m/zx/", "http://two/zx/", "http://three/zx/"};

const std::string kText = "[biaoti]标题[biaoti][banben]20220210[banben][tuichu][tuichu]"
                          "[kf1]a[*]b[kf1][kf2]a[*]b[kf2][kf3]a[*]b[kf3]"
                          "[zdy1]a[*]b[zdy1][zdy2]a[*]b[zdy2][zdy3]a[*]b[zdy3][zdy4]a[*]b[zdy4]"
                          "[zdy5]a[*]b[zdy5][exe]l.exe=g.exe[exe][news]公告\r\n第二行[news]";

struct Answer {
    int from = kNever;
    std::string text = kText;
};

struct LoadRun {
    ServerConfig config;
    std::vector<std::string> pings;
    std::vector<std::string> calls;
};

LoadRun load(const Answer& first, const Answer& second, const Answer& third) {
    FakeClock clock;
    LoadRun run;
    FakeFetcher f1(clock, run.pings, first.from, first.text);
    FakeFetcher f2(clock, run.pings, second.from, second.text);
    FakeFetcher f3(clock, run.pings, third.from, third.text);
    RecordingTarget target;
    run.config = load_server_config({&f1, &f2, &f3}, kMirrors, target);
    run.calls = target.calls;
    return run;
}

} // namespace

TEST(LoadServerConfig, EachMirrorCountsOnlyInItsOwnWindowOfPolls) {
    // Ten and eleven characters, with the title section every configuration holds.
    const std::string ten = "[biaoti]xx", eleven = "[biaoti]xxx", ten_chinese = "[biaoti]一二";
    struct Case {
        const char* what;
        Answer first, second, third;
        int poll;   // 0: network failure
        int mirror; // 1..3
    } cases[] = {
        {"all at once", {1}, {1}, {1}, 1, 1},
        {"only the second, quickly", {}, {1}, {}, 20, 2},
        {"the first in poll 25, others never", {25}, {}, {}, 0, 0},
        {"the first in its last poll", {19}, {}, {}, 19, 1},
        {"the second in its last poll", {20}, {39}, {}, 39, 2},
        {"the second too late", {}, {40}, {}, 0, 0},
        {"only the third", {}, {}, {1}, 40, 3},
        {"the third in its last poll", {}, {}, {59}, 59, 3},
        {"nothing is taken in poll 60", {}, {}, {60}, 0, 0},
        {"ten characters are no answer", {1, ten}, {}, {}, 0, 0},
        {"eleven characters are", {1, eleven}, {}, {}, 1, 1},
        {"characters, not bytes", {1, ten_chinese}, {1, eleven}, {}, 20, 2},
        {"a page that is no configuration is no answer",
         {1, "<html><body>请先登录 captive portal</body></html>"},
         {1},
         {},
         20,
         2},
    };
    for (const auto& c : cases) {
        const LoadRun run = load(c.first, c.second, c.third);
        EXPECT_EQ(run.pings,
                  (std::vector<std::string>{kMirrors[0] + "list.txt", kMirrors[1] + "list.txt",
                                            kMirrors[2] + "list.txt"}));
        EXPECT_EQ(run.config.poll, c.poll) << c.what;
        if (c.poll == 0) {
            EXPECT_EQ(run.config.outcome, ConfigOutcome::network_failure) << c.what;
            EXPECT_TRUE(run.calls.empty()) << c.what;
            continue;
        }
        const Answer& taken = c.mirror == 1 ? c.first : c.mirror == 2 ? c.second : c.third;
        EXPECT_EQ(run.config.server_base_url, kMirrors[c.mirror - 1]) << c.what;
        EXPECT_EQ(run.config.server_text, taken.text) << c.what;
    }
}

TEST(LoadServerConfig, HandsBackEveryWayItCanEnd) {
    const LoadRun run = load({}, {1}, {});
    EXPECT_EQ(run.config.outcome, ConfigOutcome::accepted);
    EXPECT_EQ(run.config.exe_alias_table, (ExeAliasTable{{"L.EXE", "G.EXE"}}));
    EXPECT_EQ(run.config.news, "公告\r\n第二行");
    EXPECT_EQ(run.calls.size(), 11u);

    const LoadRun upgrade =
        load({1, "[biaoti]t[biaoti][banben]20990101[banben][shengji]http://dl[shengji]"}, {}, {});
    EXPECT_EQ(upgrade.config.outcome, ConfigOutcome::forced_upgrade);
    EXPECT_EQ(upgrade.config.upgrade_url, "http://dl");
    EXPECT_EQ(load({1, "[biaoti]t[biaoti] and nothing else"}, {}, {}).config.outcome,
              ConfigOutcome::malformed);
    EXPECT_EQ(load({1, kText.substr(0, kText.find("[news]"))}, {}, {}).config.news, "");
}

TEST(Mirrors, AllOnThisMachineOnlyWhenNoneIsElsewhere) {
    EXPECT_TRUE(all_on_this_machine(
        {"http://127.0.0.1:18081/m/zx/", "http://localhost:2/zx/", "http://[::1]:3/zx/"}));
    EXPECT_FALSE(all_on_this_machine(
        {"http://127.0.0.1:18081/m/zx/", "http://127.0.0.1:2/zx/", "https://c.example.net/zx/"}));
}
