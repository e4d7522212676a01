#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "mirror_process.h"
#include "net/client_key.h"
#include "net/ucf_http.h"
#include "system/codepage.h"
#include "tools/mirror/options.h"

using namespace keeprun;
using namespace keeprun::test;

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
    ucf_http f1, f2, f3;
    RecordingTarget target;
    Loaded r;
    r.net = report_client_address(store, {&f1, &f2, &f3}, mirror.urls(), target);
    r.calls = target.calls;
    return r;
}

} // namespace

TEST(RealMirrors, TheSampleTextCarriesEverySection) {
    MirrorProcess mirror({"--answer", "1"});
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
    const auto reports = mirror.reports();
    ASSERT_EQ(reports.size(), 1u);
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
    EXPECT_EQ(mirror.reports().size(), 1u);
}

TEST(RealMirrors, TheFirstIsTakenBeforeItsWindowCloses) {
    MirrorProcess mirror({"--answer", "1", "--delay", "1=0.9"});
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    ASSERT_EQ(r.net.config.outcome, ConfigOutcome::accepted);
    EXPECT_LE(r.net.config.poll, 19);
    EXPECT_EQ(r.net.config.server_base_url, mirror.urls()[0]);
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

TEST(RealMirrors, EachMirrorCanServeItsOwnText) {
    MirrorProcess mirror({"--answer", "1", "--list", "1=upgrade.txt"});
    {
        std::ofstream out(mirror.dir() + "/upgrade.txt", std::ios::binary);
        out << cp936_encode(
            "[biaoti]旧[biaoti][banben]20230101[banben][shengji]http://dl/新[shengji]");
    }
    FakeStore store;
    const Loaded r = report_to(mirror, store);
    EXPECT_EQ(r.net.config.outcome, ConfigOutcome::forced_upgrade);
    EXPECT_EQ(r.net.config.shengji_url, "http://dl/新");
    EXPECT_TRUE(mirror.reports().empty());
}

TEST(KeeprunMirror, ExplainsItsOptionsAndRefusesBadOnes) {
    std::string out;
    EXPECT_EQ(run_mirror_program({"--help"}, out), 0);
    for (const char* option : {"--dir", "--ports", "--answer", "--delay", "--list", "ip.log"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_EQ(run_mirror_program({"--answer", "4"}, out), 2);
    EXPECT_NE(out.find("bad value for --answer"), std::string::npos) << out;
}

TEST(MirrorOptions, ReadsEachOption) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::array<int, 3> ports;
        std::array<bool, 3> answers;
        std::array<double, 3> delays;
    } cases[] = {
        {{}, true, {18081, 18082, 18083}, {true, true, true}, {0, 0, 0}},
        {{"--ports", "0,9000,0"}, true, {0, 9000, 0}, {true, true, true}, {0, 0, 0}},
        {{"--answer", "none"}, true, {18081, 18082, 18083}, {false, false, false}, {0, 0, 0}},
        {{"--answer", "3,1"}, true, {18081, 18082, 18083}, {true, false, true}, {0, 0, 0}},
        {{"--delay", "2=1.5", "--delay", "3=60"},
         true,
         {18081, 18082, 18083},
         {true, true, true},
         {0, 1.5, 60}},
        {{"--ports", "1,2"}, false, {}, {}, {}},
        {{"--ports", "1,2,70000"}, false, {}, {}, {}},
        {{"--answer", ""}, false, {}, {}, {}},
        {{"--delay", "4=1"}, false, {}, {}, {}},
        {{"--delay", "1=-1"}, false, {}, {}, {}},
        {{"--list", "1="}, false, {}, {}, {}},
        {{"--dir"}, false, {}, {}, {}},
        {{"--verbose"}, false, {}, {}, {}},
    };
    for (const auto& c : cases) {
        MirrorOptions opt;
        opt.ports = {18081, 18082, 18083};
        std::vector<std::string> args{"keeprun-mirror"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        std::string error;
        const std::string what = c.args.empty() ? "(none)" : c.args[0] + " " + c.args.back();
        ASSERT_EQ(parse_mirror_options(static_cast<int>(argv.size()), argv.data(), opt, error),
                  c.ok)
            << what << ": " << error;
        if (!c.ok) continue;
        EXPECT_EQ(opt.ports, c.ports) << what;
        EXPECT_EQ(opt.answers, c.answers) << what;
        EXPECT_EQ(opt.delays, c.delays) << what;
    }
    EXPECT_EQ(url_port("http://127.0.0.1:18082/zx/"), 18082);
    EXPECT_EQ(url_port("http://host/zx/"), 80);
    EXPECT_EQ(url_port("http://host:x/"), -1);
}
