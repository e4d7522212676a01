#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "mirror_process.h"
#include "net/client_key.h"
#include "net/mirror_fetcher.h"
#include "system/codepage.h"
#include "tests/support/wait_until.h"

using namespace keeprun;
using namespace keeprun::test;
using keeprun::testing::wait_until;

// These run the real mirror program and real fetchers on the real clock: each
// answer delay keeps at least a second away from the edges of the poll windows
// (the first mirror's closes after about 1.9 s, the second's opens then and
// closes after about 3.9 s, the third's runs to about 5.9 s).

namespace {

struct Loaded {
    NetStartup net;
    std::vector<std::string> calls;
};

Loaded report_to(const MirrorProcess& mirror, FakeStore& store) {
    MirrorFetcher f1, f2, f3;
    RecordingTarget target;
    Loaded r;
    r.net = report_client_address(store, {&f1, &f2, &f3}, mirror.urls(), target);
    r.calls = target.calls;
    return r;
}

} // namespace

TEST(RealMirrors, TheSampleTextCarriesEverySection) {
    // Answers a second before the first mirror's window closes.
    MirrorProcess mirror({"--answer", "1", "--delay", "1=0.9"});
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    ASSERT_EQ(r.net.config.outcome, ConfigOutcome::accepted);
    EXPECT_LE(r.net.config.poll, 19);
    EXPECT_EQ(r.net.config.server_base_url, mirror.urls()[0]);
    ASSERT_EQ(r.calls.size(), 12u);
    EXPECT_EQ(r.calls[0], "caption 程序守护与定时重启助手");
    EXPECT_EQ(r.calls[10], "background " + std::to_string(0xF5F0E6));
    EXPECT_EQ(r.net.config.exe_alias_table,
              (ExeAliasTable{{"LAUNCHER.EXE", "GAME.EXE"}, {"UPDATER.EXE", "CLIENT.EXE"}}));
    EXPECT_NE(r.net.config.news.find("拖入方框"), std::string::npos) << r.net.config.news;
}

TEST(RealMirrors, TheReportGoesToTheAcceptedMirrorOnly) {
    // The first answers after its window, the second before its window opens,
    // the third at once but its window comes last: the second is taken in poll 20.
    MirrorProcess mirror({"--delay", "1=3", "--delay", "2=0.9"});
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    ASSERT_EQ(r.net.config.outcome, ConfigOutcome::accepted);
    EXPECT_EQ(r.net.config.poll, 20);
    EXPECT_EQ(r.net.config.server_base_url, mirror.urls()[1]);
    // The report goes out on a thread of its own.
    ASSERT_TRUE(wait_until([&] { return mirror.reports().size() == 1; }));
    const auto reports = mirror.reports();
    EXPECT_NE(reports[0].find(" mirror 2 id=" + r.net.client_key), std::string::npos) << reports[0];
    EXPECT_NE(r.net.client_key.find('*'), std::string::npos);
}

TEST(RealMirrors, TheThirdIsTakenInItsOwnWindow) {
    MirrorProcess mirror({"--answer", "3", "--delay", "3=2.9"});
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    ASSERT_EQ(r.net.config.outcome, ConfigOutcome::accepted);
    EXPECT_EQ(r.net.config.poll, 40);
    EXPECT_EQ(r.net.config.server_base_url, mirror.urls()[2]);
    EXPECT_TRUE(wait_until([&] { return mirror.reports().size() == 1; }));
}

TEST(RealMirrors, LateAndStalledMirrorsEndInNetworkFailure) {
    // The first answers a second after its window; the second never answers
    // within its time-out; the third is down.
    MirrorProcess mirror({"--answer", "1,2", "--delay", "1=3", "--delay", "2=60"});
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    EXPECT_EQ(r.net.config.outcome, ConfigOutcome::network_failure);
    EXPECT_TRUE(r.calls.empty());
    EXPECT_TRUE(mirror.reports().empty());
    EXPECT_EQ(store.values.size(), 1u) << "the key is stored all the same";
}

TEST(RealMirrors, PortsInUseAreRefusedNotShared) {
    MirrorProcess first({});
    std::string ports;
    for (const std::string& url : first.urls())
        ports += (ports.empty() ? "" : ",") + url.substr(17, url.find('/', 17) - 17);
    // A second mirror on the same ports would take a share of the requests.
    EXPECT_THROW(MirrorProcess({"--ports", ports}), std::runtime_error) << ports;
}

TEST(RealMirrors, EachMirrorCanServeItsOwnText) {
    MirrorProcess mirror({"--answer", "1", "--list", "1=upgrade.txt"});
    mirror.dir().file("upgrade.txt", cp936_encode("[biaoti]旧[biaoti][banben]20230101[banben]"
                                                  "[shengji]http://dl/新[shengji]"));
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    EXPECT_EQ(r.net.config.outcome, ConfigOutcome::forced_upgrade);
    EXPECT_EQ(r.net.config.upgrade_url, "http://dl/新");
    EXPECT_TRUE(mirror.reports().empty());
}
