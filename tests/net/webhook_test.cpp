#include <gtest/gtest.h>

#include "net/notice_outbox.h"
#include "net/webhook.h"

using namespace keeprun;

namespace {

Notice hung_notice() {
    Notice n;
    n.event = "hung";
    n.slot_number = 2;
    n.program = "game.exe";
    n.machine = "机房-07";
    n.time_iso = "2026-12-10T14:03:22+08:00";
    n.minute = 100;
    n.second = 22;
    n.text = "[机房-07] 14:03:22 程序2 (game.exe) 未响应，已重新打开";
    return n;
}

} // namespace

// The signatures were computed outside the code:
//   printf '1700000000000\nSEC000test' | openssl dgst -sha256 -hmac SEC000test -binary | base64
//   printf '' | openssl dgst -sha256 -hmac "$(printf '1700000000\nSEC000test')" -binary | base64
TEST(Webhook, BodiesAndSignaturesOfEveryKind) {
    const std::string text = R"("[机房-07] 14:03:22 程序2 (game.exe) 未响应，已重新打开")";
    const std::string hook = "https://hook.example/send?access_token=T";
    struct Case {
        WebhookKind kind;
        std::string secret;
        std::string url;
        std::string body;
    } cases[] = {
        {WebhookKind::wecom, "", hook, R"({"msgtype":"text","text":{"content":)" + text + "}}"},
        {WebhookKind::dingtalk, "", hook, R"({"msgtype":"text","text":{"content":)" + text + "}}"},
        {WebhookKind::dingtalk, "SEC000test",
         hook + "&timestamp=1700000000000&sign=1hLl2KkRX3rps9FaitIUwaac%2BCtAFEaP345jvdrTL7c%3D",
         R"({"msgtype":"text","text":{"content":)" + text + "}}"},
        {WebhookKind::feishu, "", hook, R"({"msg_type":"text","content":{"text":)" + text + "}}"},
        {WebhookKind::feishu, "SEC000test", hook,
         R"({"timestamp":"1700000000","sign":"VJoDIs2fdNFeN6NS/KG4L8NIxm+bN/FYQRhY2lP3Mf8=",)"
         R"("msg_type":"text","content":{"text":)" +
             text + "}}"},
        {WebhookKind::json, "", hook,
         R"({"machine":"机房-07","slot":2,"program":"game.exe","event":"hung",)"
         R"("time":"2026-12-10T14:03:22+08:00","text":)" +
             text + R"(,"events":[{"slot":2,"program":"game.exe","event":"hung",)" +
             R"("time":"2026-12-10T14:03:22+08:00","text":)" + text + "}]}"},
    };
    for (const Case& c : cases) {
        const NotifySettings settings{hook, c.kind, c.secret, kDefaultNoticeEvents};
        const WebhookPost post = webhook_post(settings, {hung_notice()}, 1700000000000);
        EXPECT_EQ(post.url, c.url) << webhook_kind_name(c.kind);
        EXPECT_EQ(post.body, c.body) << webhook_kind_name(c.kind);
    }
}

TEST(Webhook, AnswersReadAsSuccessOrTheServersWords) {
    const std::pair<HttpAnswer, std::string> cases[] = {
        {{"", 200, R"({"errcode":0,"errmsg":"ok"})"}, ""},
        {{"", 200, R"({"code":0,"msg":"success","data":{}})"}, ""},
        {{"", 200, R"({"errcode":310000,"errmsg":"sign not match"})"},
         "HTTP 200 310000: sign not match"},
        {{"", 200, R"({"code":19021,"msg":"sign match fail or timestamp is not within one hour"})"},
         "HTTP 200 19021: sign match fail or timestamp is not within one hour"},
        {{"", 200, R"({"errcode":93000, "errmsg" : "invalid webhook url, \"key\" \u9519"})"},
         "HTTP 200 93000: invalid webhook url, \"key\" 错"},
        {{"", 404, "Not Found"}, "HTTP 404: Not Found"},
        {{"Couldn't connect to server", 0, ""}, "Couldn't connect to server"},
    };
    for (const auto& [answer, want] : cases)
        EXPECT_EQ(webhook_failure(answer), want) << answer.body;
}

TEST(NoticeOutbox, GathersAMinuteQueuesAtMostAHundredAndRetriesThreeTimes) {
    NoticeOutbox box;
    Notice a = hung_notice();
    Notice b = a;
    b.second = 50;
    Notice later = a;
    later.minute = 101;
    later.second = 5;
    // 14:03:22 and 14:03:50 go out together at the end of the minute.
    box.add(a, 1000);
    box.add(b, 1028);
    EXPECT_FALSE(box.due(1037));
    EXPECT_EQ(box.next_due(), 1038);
    ASSERT_TRUE(box.due(1038));
    EXPECT_EQ(box.due(1038)->size(), 2u);
    // A notice of the next minute closes nothing already sent; a failure waits 30, 90, 180 s.
    box.add(later, 1040);
    EXPECT_EQ(box.sent("refused", 1038), std::nullopt);
    EXPECT_FALSE(box.due(1067));
    ASSERT_TRUE(box.due(1068));
    EXPECT_EQ(box.sent("refused", 1068), std::nullopt);
    EXPECT_FALSE(box.due(1157));
    EXPECT_EQ(box.sent("refused", 1158), std::nullopt);
    EXPECT_FALSE(box.due(1337));
    ASSERT_TRUE(box.due(1338));
    const auto dropped = box.sent("refused", 1338);
    ASSERT_TRUE(dropped);
    EXPECT_NE(dropped->find("4 tries (refused)"), std::string::npos);
    // The next minute's message is next, alone.
    ASSERT_TRUE(box.due(1338));
    EXPECT_EQ(box.due(1338)->front().minute, 101);
    EXPECT_EQ(box.sent("", 1338), std::nullopt);
    EXPECT_EQ(box.queued(), 0u);
    EXPECT_EQ(box.next_due(), std::nullopt);
    // 106 minutes of notices while the server is away: the oldest 6 go.
    for (int m = 0; m < 106; ++m) {
        Notice n = a;
        n.minute = 200 + m;
        box.add(n, 2000 + 60 * m);
    }
    EXPECT_EQ(box.queued(), 100u);
    EXPECT_EQ(box.overflowed(), 5u);
    EXPECT_EQ(box.due(100000)->front().minute, 206);
    EXPECT_EQ(box.overflowed(), 6u);
}
