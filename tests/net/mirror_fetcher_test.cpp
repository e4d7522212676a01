#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "gate.h"
#include "http_server.h"
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
