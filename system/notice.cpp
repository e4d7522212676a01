#include "system/notice.h"

#include <algorithm>

#include "system/text.h"

namespace keeprun {

std::string_view notice_event_name(NoticeEvent event) {
    return kNoticeEventNames[static_cast<std::size_t>(event)];
}

WebhookKind webhook_kind_from_name(std::string_view name) {
    const std::string wanted = trim_spaces(name);
    const auto* it = std::ranges::find(kWebhookKindNames, wanted);
    return it == kWebhookKindNames.end() ? WebhookKind::wecom
                                         : static_cast<WebhookKind>(it - kWebhookKindNames.begin());
}

std::string_view webhook_kind_name(WebhookKind kind) {
    return kWebhookKindNames[static_cast<std::size_t>(kind)];
}

bool NotifySettings::wants(std::string_view event_name) const {
    const auto* it = std::ranges::find(kNoticeEventNames, event_name);
    return it == kNoticeEventNames.end() ||
           wants(static_cast<NoticeEvent>(it - kNoticeEventNames.begin()));
}

NoticeEventSet notice_events_from_text(std::string_view text) {
    if (trim_spaces(text).empty()) return kDefaultNoticeEvents;
    NoticeEventSet events = 0;
    std::size_t at = 0;
    for (;;) {
        const std::size_t comma = text.find(',', at);
        const std::string name = trim_spaces(text.substr(at, comma - at));
        for (std::size_t i = 0; i < kNoticeEventNames.size(); ++i)
            if (name == kNoticeEventNames[i]) events |= event_bit(static_cast<NoticeEvent>(i));
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    return events;
}

std::string notice_events_text(NoticeEventSet events) {
    std::string text;
    for (std::size_t i = 0; i < kNoticeEventNames.size(); ++i) {
        if (!(events & event_bit(static_cast<NoticeEvent>(i)))) continue;
        if (!text.empty()) text += ",";
        text += kNoticeEventNames[i];
    }
    return text.empty() ? "none" : text;
}

} // namespace keeprun
