#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "gate.h"
#include "http_server.h"
#include "net/http_request.h"
#include "raw_server.h"
#include "system/codepage.h"

using namespace keeprun;
using namespace keeprun::test;

TEST(http_request, SendsWhatTheModeAsksFor) {
    const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
    struct Case {
        const char *mode, *data, *method, *body;
    } cases[] = {
        {"GET", "a b", "GET", "id=a%20b"},
        {"get", "*中", "POST", "id=*%u4E2D"},
        {"POST", "k=1&x", "POST", "id=k%3D1%26x"},
    };
    for (const auto& c : cases) {
        RawServer server;
        EXPECT_EQ(http_request(c.mode, server.url("/zx/list.txt"), c.data, 5000), "ok");
        const std::string& r = server.request();
        EXPECT_EQ(r.rfind(std::string(c.method) + " /zx/list.txt HTTP/1.1\r\n", 0), 0u) << r;
        EXPECT_NE(r.find("\r\nIf-Modified-Since: Sat, 01 Jan 2000 00:00:00 GMT\r\n"), r.npos) << r;
        // A GET carries its body but no content type.
        EXPECT_EQ(r.find(form) != r.npos, std::string(c.method) == "POST") << r;
        EXPECT_EQ(r.find("Content-Type"), r.find(form)) << r;
        EXPECT_EQ(r.substr(r.find("\r\n\r\n") + 4), c.body);
    }
}

TEST(http_request, OnlyStatus200GivesTheBodyDecodedFromCodePage936) {
    const std::pair<int, std::string> cases[] = {
        {200, "中文配置"}, {404, "not here"}, {500, "服务器错误"}, {304, ""}};
    for (const auto& [status, text] : cases) {
        HttpServer server;
        server.routes().Get("/t", [&](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(cp936_encode(text), "text/plain");
        });
        server.start();
        EXPECT_EQ(http_request("GET", server.url("/t"), "", 5000), status == 200 ? text : "");
    }
    EXPECT_EQ(http_request("POST", "http://127.0.0.1:1/ip.asp", "x", 5000), "");
    EXPECT_EQ(http_request("POST", "not an address", "x", 5000), "");
    EXPECT_EQ(http_request("GET", "ftp://127.0.0.1:1/list.txt", "", 5000), "");
}

TEST(http_request, ABodyOver1MiBIsAFailure) {
    HttpServer server;
    server.routes().Get(R"(/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(std::string(std::stoul(req.matches[1]), 'a'), "text/plain");
    });
    // Without a length up front: the limit must hold while the body streams in.
    server.routes().Get("/streamed", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            return sink.write(std::string(64 * 1024, 'b').data(), 64 * 1024);
        });
    });
    server.start();
    const std::string exact = std::to_string(kMaxReplyBytes),
                      over = std::to_string(kMaxReplyBytes + 1);
    EXPECT_EQ(http_request("GET", server.url("/" + exact), "", 5000).size(), kMaxReplyBytes);
    EXPECT_EQ(http_request("GET", server.url("/" + over), "", 5000), "");
    EXPECT_EQ(http_request("GET", server.url("/streamed"), "", 5000), "");
}

TEST(http_request, FollowsRedirectsAsThePlatformDid) {
    HttpServer server;
    auto& r = server.routes();
    r.Get("/old",
          [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new", 302); });
    r.Post("/old",
           [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new", 302); });
    r.Post("/keep",
           [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/kept", 307); });
    r.Post("/kept", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("kept " + req.body, "text/plain");
    });
    r.Get("/new", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("moved", "text/plain");
    });
    r.Get("/loop",
          [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 302); });
    // The same server under another name: another host, which never gets the key.
    r.Post("/elsewhere", [&](const httplib::Request&, httplib::Response& res) {
        std::string url = server.url("/kept");
        res.set_redirect(url.replace(url.find("127.0.0.1"), 9, "localhost"), 307);
    });
    server.start();
    EXPECT_EQ(http_request("POST", server.url("/elsewhere"), "key", 5000), "kept ");
    EXPECT_EQ(http_request("GET", server.url("/old"), "", 5000), "moved");
    // 302 turns a POST into a GET; 307 keeps the POST and its body.
    EXPECT_EQ(http_request("POST", server.url("/old"), "k", 5000), "moved");
    EXPECT_EQ(http_request("POST", server.url("/keep"), "k*", 5000), "kept id=k*");
    EXPECT_EQ(http_request("GET", server.url("/loop"), "", 5000), "");
}

TEST(http_request, AServerThatStallsPastTheTimeOutGivesTheEmptyText) {
    // The server goes on after 3 s: a second past the stall bound of 1000 ms
    // (checked about once a second), well inside the cap on the whole request.
    const std::chrono::milliseconds stall(3000);
    Gate before_head, inside_body;
    std::atomic<bool> head_sent{false}, body_finished{false};
    HttpServer server;
    server.routes().Get("/head", [&](const httplib::Request&, httplib::Response& res) {
        before_head.wait(stall);
        head_sent = true;
        res.set_content("too late", "text/plain");
    });
    // Half a body, then silence: the caller must not get the half.
    server.routes().Get("/body", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain",
                                         [&](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0) return sink.write("first half ", 11);
                                             inside_body.wait(stall);
                                             body_finished = true;
                                             sink.done();
                                             return true;
                                         });
    });
    server.start();
    EXPECT_EQ(http_request("GET", server.url("/head"), "", 1000), "");
    EXPECT_FALSE(head_sent) << "returned only when the server answered";
    EXPECT_EQ(http_request("GET", server.url("/body"), "", 1000), "");
    EXPECT_FALSE(body_finished) << "returned only when the server finished";
    before_head.open();
    inside_body.open();
}

TEST(http_request, ATimeOutBelow1000MeansTenSeconds) {
    HttpServer server;
    // The server's own answer delay: inside ten seconds, well past half a second.
    server.routes().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        res.set_content("answered", "text/plain");
    });
    server.start();
    EXPECT_EQ(http_request("GET", server.url("/slow"), "", 500), "answered");
}

TEST(http_request, ARestArrivingAsTheCallerGivesUpLeavesItSound) {
    // Part of the body, then the rest around the moment the 1000 ms stall bound
    // ends the request: a read may still be under way when the call returns,
    // and the caller's memory must not be written after that.
    const std::string first(8000, 'a'), rest(16384, 'b');
    HttpServer server;
    server.routes().Get(R"(/edge/(\d+))", [&](const httplib::Request& req, httplib::Response& res) {
        const auto pause = std::chrono::milliseconds(std::stoi(req.matches[1]));
        res.set_chunked_content_provider("text/plain",
                                         [&, pause](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0)
                                                 return sink.write(first.data(), first.size());
                                             std::this_thread::sleep_for(pause);
                                             sink.write(rest.data(), rest.size());
                                             sink.done();
                                             return true;
                                         });
    });
    server.routes().Get("/after", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("still sound", "text/plain");
    });
    server.start();
    for (int pause = 850; pause <= 1200; pause += 50) {
        const std::string text =
            http_request("GET", server.url("/edge/" + std::to_string(pause)), "", 1000);
        EXPECT_TRUE(text.empty() || text == first + rest) << pause << " ms: " << text.size();
        // What a late read would hit: the stack the request ran on, in use again.
        std::string scribble(64 * 1024, 'x');
        EXPECT_EQ(http_request("GET", server.url("/after"), scribble, 5000), "still sound");
    }
}
