#include <gtest/gtest.h>

#include <regex>
#include <tuple>

#include "fakes.h"
#include "net/client_key.h"

using namespace keeprun;
using namespace keeprun::test;

namespace {

const std::tuple<std::string, std::string, std::string> kEntry{"4061739285_zx20220110", "Startup",
                                                               "key"};

// Digits of "yyyy/M/d H:mm:ss" (11 to 14 of them), "*", four random digits.
bool is_new_key(const std::string& key) {
    return std::regex_match(key, std::regex(R"(20\d{9,12}\*\d{4})"));
}

} // namespace

TEST(MakeClientKey, TakesTheDigitsOfTheDateAndTime) {
    EXPECT_EQ(make_client_key("2026/12/8 9:05:07", "0042"), "202612890507*0042");
    EXPECT_EQ(make_client_key("2026-01-31 23:59:59", "1234"), "20260131235959*1234");
    EXPECT_EQ(make_client_key("12:3", "5678"), "2001-01-01 00:00:00*5678");
}

TEST(GetClientKey, MakesAndStoresAKeyOnTheFirstStartThenKeepsIt) {
    FakeStore store;
    const std::string key = get_client_key(store);
    EXPECT_TRUE(is_new_key(key)) << key;
    EXPECT_EQ(store.values[kEntry], key);
    EXPECT_EQ(store.saves, 1);
    EXPECT_EQ(get_client_key(store), key);
    EXPECT_EQ(store.saves, 1) << "a kept key is never written again";
}

TEST(GetClientKey, ReplacesOnlyKeysShorterThanTenCharacters) {
    struct Case {
        const char* stored;
        bool kept;
    } cases[] = {
        {"123456789", false},           {"abcdefghij", true},
        {"**********", true},           {"一二三四五六七八九", false}, // 27 bytes, but 9 characters
        {"一二三四五六七八九十", true}, {"", false},
    };
    for (const auto& c : cases) {
        FakeStore store;
        store.values[kEntry] = c.stored;
        const std::string key = get_client_key(store);
        if (c.kept) {
            EXPECT_EQ(key, c.stored);
            EXPECT_EQ(store.saves, 0) << c.stored;
        } else {
            EXPECT_TRUE(is_new_key(key)) << c.stored << " gave " << key;
            EXPECT_EQ(store.values[kEntry], key);
        }
    }
}

TEST(GetClientKey, AStoreThatCannotWriteStillGivesAKey) {
    FakeStore store;
    store.fail = true;
    EXPECT_TRUE(is_new_key(get_client_key(store)));
}

TEST(ReportClientAddress, StoresTheKeyEvenWhenNoMirrorAnswers) {
    FakeClock clock;
    FakeStore store;
    std::vector<std::string> pings;
    FakeFetcher f1(clock, pings, kNever, ""), f2(clock, pings, kNever, ""),
        f3(clock, pings, kNever, "");
    RecordingTarget target;
    const NetStartup r = report_client_address(
        store, {&f1, &f2, &f3},
        {"http://127.0.0.1:1/", "http://127.0.0.1:1/", "http://127.0.0.1:1/"}, target);
    EXPECT_EQ(r.config.outcome, ConfigOutcome::network_failure);
    EXPECT_TRUE(is_new_key(r.client_key));
    EXPECT_EQ(store.values[kEntry], r.client_key);
    EXPECT_EQ(pings.size(), 3u);
}
