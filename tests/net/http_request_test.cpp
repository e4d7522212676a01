#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "http_server.h"
#include "net/http_request.h"
#include "raw_server.h"
#include "system/codepage.h"
#include "waiting.h"

using namespace keeprun;
using namespace keeprun::test;

namespace {

const char* const kOkReply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
const char* const kFormType = "application/x-www-form-urlencoded";

} // namespace

TEST(XMLHttpRequest, SendsWhatTheModeAsksFor) {
    struct Case {
        const char* mode;
        const char* data;
        const char* method;
        bool form_type;
        const char* body;
    } cases[] = {
        {"GET", "a b", "GET", false, "id=a%20b"},
        {"GET", "", "GET", false, "id="},
        {"get", "*中", "POST", true, "id=*%u4E2D"},
        {"POST", "20261208*1234", "POST", true, "id=20261208*1234"},
        {"Post", "k=1&x", "POST", true, "id=k%3D1%26x"},
    };
    for (const auto& c : cases) {
        RawServer server(kOkReply);
        EXPECT_EQ(XMLHttpRequest(c.mode, server.url("/zx/list.txt"), c.data, 5000), "ok") << c.mode;
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << c.mode;
        const RawRequest& r = requests[0];
        EXPECT_EQ(r.line, std::string(c.method) + " /zx/list.txt HTTP/1.1") << c.mode;
        ASSERT_NE(r.header("if-modified-since"), nullptr) << c.mode;
        EXPECT_EQ(*r.header("if-modified-since"), "Sat, 01 Jan 2000 00:00:00 GMT");
        const std::string* type = r.header("content-type");
        if (c.form_type) {
            ASSERT_NE(type, nullptr) << c.mode;
            EXPECT_EQ(*type, kFormType);
        } else {
            EXPECT_EQ(type, nullptr) << c.mode << " carries a content type";
        }
        EXPECT_EQ(r.header("expect"), nullptr);
        EXPECT_EQ(r.body, c.body) << c.mode;
    }
}

TEST(XMLHttpRequest, OnlyStatus200GivesTheBodyDecodedFromCodePage936) {
    struct Case {
        int status;
        std::string body;
        std::string want;
    } cases[] = {
        {200, cp936_encode("中文配置[biaoti]"), "中文配置[biaoti]"},
        {200, "", ""},
        {404, "not here", ""},
        {500, cp936_encode("服务器错误"), ""},
        {304, "", ""},
        {201, "created", ""},
    };
    for (const auto& c : cases) {
        HttpServer server;
        server.routes().Get("/t", [&](const httplib::Request&, httplib::Response& res) {
            res.status = c.status;
            if (!c.body.empty()) res.set_content(c.body, "text/plain");
        });
        server.start();
        EXPECT_EQ(XMLHttpRequest("GET", server.url("/t"), "", 5000), c.want) << c.status;
    }
}

TEST(XMLHttpRequest, FailuresGiveTheEmptyText) {
    EXPECT_EQ(XMLHttpRequest("POST", "http://127.0.0.1:1/ip.asp", "x", 5000), "");
    EXPECT_EQ(XMLHttpRequest("POST", "not an address", "x", 5000), "");
    EXPECT_EQ(XMLHttpRequest("GET", "ftp://127.0.0.1:1/list.txt", "", 5000), "");
    EXPECT_EQ(XMLHttpRequest("GET", "", "", 5000), "");
}

TEST(XMLHttpRequest, ABodyOver1MiBIsAFailure) {
    HttpServer server;
    server.routes().Get("/exact", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(kMaxReplyBytes, 'a'), "text/plain");
    });
    server.routes().Get("/over", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(kMaxReplyBytes + 1, 'a'), "text/plain");
    });
    // Without a length up front: the limit must hold while the body streams in.
    server.routes().Get("/streamed", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain",
                                         [](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset > kMaxReplyBytes) {
                                                 sink.done();
                                                 return true;
                                             }
                                             const std::string chunk(64 * 1024, 'b');
                                             return sink.write(chunk.data(), chunk.size());
                                         });
    });
    server.start();
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/exact"), "", 5000).size(), kMaxReplyBytes);
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/over"), "", 5000), "");
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/streamed"), "", 5000), "");
}

TEST(XMLHttpRequest, FollowsRedirectsAsThePlatformDid) {
    HttpServer server;
    std::string target_method;
    server.routes().Get("/old", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/new", 302);
    });
    server.routes().Post("/ip.asp", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/new", 302);
    });
    server.routes().Post("/keep", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/kept", 307);
    });
    server.routes().Post("/kept", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("kept " + req.body, "text/plain");
    });
    server.routes().Get("/new", [&](const httplib::Request& req, httplib::Response& res) {
        target_method = req.method;
        res.set_content(cp936_encode("新地址"), "text/plain");
    });
    server.routes().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/loop", 302);
    });
    server.start();
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/old"), "", 5000), "新地址");
    // A POST answered with 302 goes on as a GET; 307 keeps the POST and its body.
    EXPECT_EQ(XMLHttpRequest("POST", server.url("/ip.asp"), "k", 5000), "新地址");
    EXPECT_EQ(target_method, "GET");
    EXPECT_EQ(XMLHttpRequest("POST", server.url("/keep"), "k*", 5000), "kept id=k*");
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/loop"), "", 5000), "");
}

TEST(XMLHttpRequest, AServerThatStallsPastTheTimeOutGivesTheEmptyText) {
    // The server goes on after 3 s: a second past the stall bound of 1000 ms
    // (checked about once a second), well inside the cap on the whole request.
    const std::chrono::milliseconds stall(3000);
    Gate before_head, inside_body;
    std::atomic<bool> head_answered{false}, body_finished{false};
    HttpServer server;
    server.routes().Get("/head", [&](const httplib::Request&, httplib::Response& res) {
        before_head.wait(stall);
        head_answered = true;
        res.set_content("too late", "text/plain");
    });
    // Half a body, then silence: the caller must not get the half.
    server.routes().Get("/body", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain",
                                         [&](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0) return sink.write("first half ", 11);
                                             inside_body.wait(stall);
                                             body_finished = true;
                                             sink.write("second half", 11);
                                             sink.done();
                                             return true;
                                         });
    });
    server.start();
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/head"), "", 1000), "");
    EXPECT_FALSE(head_answered) << "returned only after the server answered";
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/body"), "", 1000), "");
    EXPECT_FALSE(body_finished) << "returned only after the server finished";
    before_head.open();
    inside_body.open();
}

TEST(XMLHttpRequest, ATimeOutBelow1000MeansTenSeconds) {
    HttpServer server;
    // The server's own answer delay: inside ten seconds, well past half a second.
    server.routes().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        res.set_content("answered", "text/plain");
    });
    server.start();
    EXPECT_EQ(XMLHttpRequest("GET", server.url("/slow"), "", 500), "answered");
}
