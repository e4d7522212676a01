#pragma once
// One message of notices to a chat group's bot: its body in the format of the
// bot's kind, the signature where the bot has a secret, and what its answer means.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_request.h"
#include "system/notice.h"

namespace keeprun {

// What an address must be to take notices.
inline constexpr std::string_view kWebhookAddressRule =
    "只能发送到 http:// 或 https:// 开头的完整网址";

struct WebhookPost {
    std::string url; // with DingTalk's signature
    std::string body;
};

// The post of `notices` (one or more, one message) at `unix_ms` (the moment the
// signatures name). The text holds one line per notice.
WebhookPost webhook_post(const NotifySettings& settings, const std::vector<Notice>& notices,
                         std::int64_t unix_ms);

// "" when the answer means the message arrived; else what went wrong, in the
// network's or the server's words.
std::string webhook_failure(const HttpAnswer& answer);

// Sends the message now and returns webhook_failure's text (or why the address
// cannot take it); blocks for at most 40 s.
std::string send_webhook(const NotifySettings& settings, const std::vector<Notice>& notices);

} // namespace keeprun
