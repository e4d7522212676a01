#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "net/network_wait.h"

using namespace keeprun;
using namespace keeprun::test;

TEST(NetworkWait, TriesEveryFifteenSecondsForFiveMinutes) {
    const struct {
        std::uint32_t last_try, now;
        std::optional<std::uint32_t> next;
    } cases[] = {
        {0, 0, 15000},
        {0, 6000, 15000},
        {15000, 40000, 40000}, // a try that ran long is followed at once
        {270000, 299000, 299000},
        {285000, 291000, 300000}, // the last try begins at five minutes
        {300000, 306000, std::nullopt},
        {285000, 300001, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(next_network_try(c.last_try, c.now), c.next) << c.last_try << " " << c.now;
}

TEST(NetworkWait, AsksTheMirrorsAgainUntilOneAnswersOrTimeIsUp) {
    const std::string text =
        "[biaoti]标题[biaoti][banben]20220210[banben][tuichu][tuichu]"
        "[kf1]a[*]b[kf1][kf2]a[*]b[kf2][kf3]a[*]b[kf3][zdy1]a[*]b[zdy1]"
        "[zdy2]a[*]b[zdy2][zdy3]a[*]b[zdy3][zdy4]a[*]b[zdy4][zdy5]a[*]b[zdy5][exe][exe]";
    const std::string upgrade =
        "[biaoti]t[biaoti][banben]20990101[banben][shengji]http://dl[shengji]";
    const struct {
        const char* what;
        int from; // the poll of 0.1 s from which the first mirror answers
        std::string text;
        ConfigOutcome outcome;
        std::size_t tries;
    } cases[] = {
        {"at once", 1, text, ConfigOutcome::accepted, 1},
        {"after 40 s", 401, text, ConfigOutcome::accepted, 4},
        {"an upgrade after 40 s", 401, upgrade, ConfigOutcome::forced_upgrade, 4},
        {"a malformed text after 40 s", 401, "[biaoti]t[biaoti]", ConfigOutcome::malformed, 4},
        {"never", kNever, text, ConfigOutcome::network_failure, 21},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        std::vector<std::string> pings;
        FakeFetcher first(clock, pings, c.from, c.text), none(clock, pings, kNever, "");
        RecordingTarget target;
        int told = 0;
        const ServerConfig config = load_server_config_waiting(
            {&first, &none, &none}, {"http://a/", "http://b/", "http://c/"}, target,
            [&] { ++told; });
        EXPECT_EQ(config.outcome, c.outcome) << c.what;
        EXPECT_EQ(pings.size(), 3 * c.tries) << c.what;
        EXPECT_EQ(told, c.tries > 1 ? 1 : 0) << c.what;
    }
}
