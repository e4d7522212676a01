#include "net/webhook.h"

#include <chrono>

#include "net/hmac.h"
#include "net/json_text.h"
#include "net/url_encode.h"
#include "system/web_address.h"

namespace keeprun {
namespace {

// Each request gets 10 s for every phase, 40 s in all.
constexpr std::int32_t kWebhookTimeoutMs = 10000;

std::string joined_text(const std::vector<Notice>& notices) {
    std::string text;
    for (const Notice& n : notices)
        text += (text.empty() ? "" : "\n") + n.text;
    return text;
}

std::string json_fields(const Notice& n, bool with_machine) {
    return (with_machine ? "\"machine\":" + json_quoted(n.machine) + "," : std::string()) +
           "\"slot\":" + std::to_string(n.slot_number) + ",\"program\":" + json_quoted(n.program) +
           ",\"event\":" + json_quoted(n.event) + ",\"time\":" + json_quoted(n.time_iso);
}

// One object for the message: the first notice's fields, the whole text, and
// every notice of the minute under "events".
std::string plain_json(const std::vector<Notice>& notices) {
    std::string events;
    for (const Notice& n : notices)
        events += (events.empty() ? "{" : ",{") + json_fields(n, false) +
                  ",\"text\":" + json_quoted(n.text) + "}";
    return "{" + json_fields(notices.front(), true) +
           ",\"text\":" + json_quoted(joined_text(notices)) + ",\"events\":[" + events + "]}";
}

} // namespace

WebhookPost webhook_post(const NotifySettings& settings, const std::vector<Notice>& notices,
                         std::int64_t unix_ms) {
    WebhookPost post{settings.url, {}};
    const std::string text = json_quoted(joined_text(notices));
    const bool signs = !settings.secret.empty();
    switch (settings.kind) {
    case WebhookKind::wecom:
        post.body = "{\"msgtype\":\"text\",\"text\":{\"content\":" + text + "}}";
        break;
    case WebhookKind::dingtalk: {
        post.body = "{\"msgtype\":\"text\",\"text\":{\"content\":" + text + "}}";
        if (!signs) break;
        const std::string stamp = std::to_string(unix_ms);
        const std::string sign =
            hmac_sha256_base64(settings.secret, stamp + "\n" + settings.secret);
        post.url += (post.url.find('?') == std::string::npos ? "?" : "&") +
                    std::string("timestamp=") + stamp + "&sign=" + url_encode(sign);
        break;
    }
    case WebhookKind::feishu: {
        std::string signature;
        if (signs) {
            // Feishu signs with "timestamp\nsecret" as the key of an empty message.
            const std::string stamp = std::to_string(unix_ms / 1000);
            signature = "\"timestamp\":" + json_quoted(stamp) + ",\"sign\":" +
                        json_quoted(hmac_sha256_base64(stamp + "\n" + settings.secret, "")) + ",";
        }
        post.body = "{" + signature + "\"msg_type\":\"text\",\"content\":{\"text\":" + text + "}}";
        break;
    }
    case WebhookKind::json:
        post.body = plain_json(notices);
        break;
    }
    return post;
}

std::string webhook_failure(const HttpAnswer& answer) {
    if (!answer.error.empty()) return answer.error;
    // WeCom and DingTalk answer errcode and errmsg, Feishu code and msg.
    const auto code = json_field(answer.body, "errcode") ? json_field(answer.body, "errcode")
                                                         : json_field(answer.body, "code");
    const auto words = json_field(answer.body, "errmsg") ? json_field(answer.body, "errmsg")
                                                         : json_field(answer.body, "msg");
    if (answer.status / 100 == 2 && (!code || *code == "0")) return {};
    std::string failure = "HTTP " + std::to_string(answer.status);
    if (code) failure += " " + *code;
    if (words) return failure + ": " + *words;
    const std::string body = answer.body.substr(0, 200);
    return body.empty() ? failure : failure + ": " + body;
}

std::string send_webhook(const NotifySettings& settings, const std::vector<Notice>& notices) {
    if (!parse_web_address(settings.url)) return std::string(kWebhookAddressRule);
    using namespace std::chrono;
    const WebhookPost post =
        webhook_post(settings, notices,
                     duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    return webhook_failure(
        http_post(post.url, "application/json; charset=utf-8", post.body, kWebhookTimeoutMs));
}

} // namespace keeprun
