#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <string>

#include "fakes.h"
#include "gate.h"
#include "http_server.h"
#include "net/client_key.h"
#include "net/mirror_fetcher.h"
#include "system/codepage.h"
#include "tests/support/wait_until.h"

using namespace keeprun;
using namespace keeprun::test;
using keeprun::testing::wait_until;

TEST(MirrorFetcher, GivesNothingUntilTheWholeBodyIsIn) {
    Gate rest;
    const std::string second_half(300 * 1024, 'x');
    std::atomic<bool> asked{false};
    HttpServer server;
    server.routes().Get("/zx/list.txt", [&](const httplib::Request& req, httplib::Response& res) {
        asked = req.method == "GET";
        res.set_chunked_content_provider(
            "text/plain", [&](std::size_t offset, httplib::DataSink& sink) {
                if (offset == 0) {
                    const std::string first = cp936_encode("[biaoti]标题[biaoti]");
                    return sink.write(first.data(), first.size());
                }
                rest.wait();
                sink.write(second_half.data(), second_half.size());
                sink.done();
                return true;
            });
    });
    server.start();

    MirrorFetcher fetcher;
    EXPECT_EQ(fetcher.fetched_text(), "") << "before any start_fetch";
    fetcher.start_fetch(server.url("/zx/list.txt"));
    // The first half is on its way or already in: still nothing.
    EXPECT_TRUE(wait_until([&] { return asked.load(); }));
    EXPECT_EQ(fetcher.fetched_text(), "");
    rest.open();
    ASSERT_TRUE(wait_until([&] { return !fetcher.fetched_text().empty(); }));
    EXPECT_EQ(fetcher.fetched_text(), "[biaoti]标题[biaoti]" + second_half);
}

TEST(MirrorFetcher, ALaterPingIsNeverOverwrittenByAnEarlierFetch) {
    Gate first_may_end;
    std::atomic<bool> first_ended{false};
    MirrorFetcher fetcher([&](const std::string& url) -> std::string {
        if (url == "http://first/list.txt") {
            first_may_end.wait();
            first_ended = true;
            return "text of the first fetch";
        }
        return "text of the second fetch";
    });
    fetcher.start_fetch("http://first/list.txt");
    fetcher.start_fetch("http://second/list.txt");
    ASSERT_TRUE(wait_until([&] { return fetcher.fetched_text() == "text of the second fetch"; }));
    first_may_end.open();
    ASSERT_TRUE(wait_until([&] { return first_ended.load(); }));
    EXPECT_EQ(fetcher.fetched_text(), "text of the second fetch");
}

TEST(MirrorFetcher, AHangingFetchDoesNotHoldUpItsOwner) {
    auto hanging = std::make_shared<Gate>();
    auto returned = std::make_shared<std::atomic<bool>>(false);
    {
        MirrorFetcher fetcher([hanging, returned](const std::string&) -> std::string {
            hanging->wait();
            *returned = true;
            return {};
        });
        fetcher.start_fetch("http://hanging/list.txt");
    }
    // The owner is gone while its fetch still hangs.
    EXPECT_FALSE(returned->load());
    hanging->open();
    EXPECT_TRUE(wait_until([&] { return returned->load(); }));
}

TEST(ReportClientAddress, TheReportIsSentWithoutHoldingUpTheStart) {
    // The mirror keeps the report's answer open, a byte at a time so no stall
    // ends it, until the start has gone on.
    Gate start_went_on;
    std::atomic<bool> went_on{false};
    std::atomic<int> reports{0};
    HttpServer server;
    server.routes().Post("/zx/ip.asp", [&](const httplib::Request& req, httplib::Response& res) {
        reports += req.body.starts_with("id=") ? 1 : 0;
        res.set_chunked_content_provider("text/plain", [&](std::size_t, httplib::DataSink& sink) {
            start_went_on.wait(std::chrono::milliseconds(200));
            if (!went_on) return sink.write(" ", 1);
            sink.done();
            return true;
        });
    });
    server.start();
    const std::string config =
        "[biaoti]t[biaoti][banben]20220210[banben][tuichu][tuichu][kf1]a[*]b[kf1][kf2]a[*]b[kf2]"
        "[kf3]a[*]b[kf3][zdy1]a[*]b[zdy1][zdy2]a[*]b[zdy2][zdy3]a[*]b[zdy3][zdy4]a[*]b[zdy4]"
        "[zdy5]a[*]b[zdy5][exe][exe][news][news]";
    const std::string base = server.url("/zx/");
    auto start = std::async(std::launch::async, [&] {
        FakeClock clock;
        FakeStore store;
        std::vector<std::string> pings;
        FakeFetcher first(clock, pings, 1, config), none(clock, pings, kNever, "");
        RecordingTarget target;
        return report_client_address(store, {&first, &none, &none}, {base, base, base}, target)
            .config.outcome;
    });
    EXPECT_TRUE(wait_until(
        [&] { return start.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        std::chrono::seconds(10)))
        << "the start waited for the report, which the mirror keeps open for 20 s";
    EXPECT_EQ(start.get(), ConfigOutcome::accepted);
    EXPECT_TRUE(wait_until([&] { return reports == 1; })) << "the report was sent all the same";
    went_on = true;
    start_went_on.open();
}
