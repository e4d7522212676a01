#pragma once
// What keeprun tells people about its slots: the events, one notice, and the
// [notify] settings of data.ini (a chat group's webhook and what to send it).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace keeprun {

enum class NoticeEvent { restarted, hung, crashed, crash_loop, timed };
inline constexpr std::array<std::string_view, 5> kNoticeEventNames = {
    "restarted", "hung", "crashed", "crash_loop", "timed"};
std::string_view notice_event_name(NoticeEvent event);

// Events as bits: bit i is kNoticeEventNames[i].
using NoticeEventSet = std::uint8_t;
inline constexpr NoticeEventSet event_bit(NoticeEvent e) {
    return static_cast<NoticeEventSet>(1u << static_cast<unsigned>(e));
}
// What an empty `events` key means: everything but the timed closes and restarts.
inline constexpr NoticeEventSet kDefaultNoticeEvents =
    event_bit(NoticeEvent::restarted) | event_bit(NoticeEvent::hung) |
    event_bit(NoticeEvent::crashed) | event_bit(NoticeEvent::crash_loop);

enum class WebhookKind { wecom, dingtalk, feishu, json };
inline constexpr std::array<std::string_view, 4> kWebhookKindNames = {"wecom", "dingtalk", "feishu",
                                                                      "json"};
// Unknown names read as WeCom, the most common group bot.
WebhookKind webhook_kind_from_name(std::string_view name);
std::string_view webhook_kind_name(WebhookKind kind);
// DingTalk and Feishu sign their messages when the bot has a secret.
inline bool webhook_kind_signs(WebhookKind kind) {
    return kind == WebhookKind::dingtalk || kind == WebhookKind::feishu;
}

// The comma list of event names; blank means kDefaultNoticeEvents, unknown
// names are ignored.
NoticeEventSet notice_events_from_text(std::string_view text);
// The comma list that reads back as `events` ("none" for no event at all).
std::string notice_events_text(NoticeEventSet events);

// The [notify] section; no url means no messages to a chat group.
struct NotifySettings {
    std::string url;
    WebhookKind kind = WebhookKind::wecom;
    std::string secret;
    NoticeEventSet events = kDefaultNoticeEvents;

    bool wants(NoticeEvent e) const { return (events & event_bit(e)) != 0; }
    // Whether to send a notice of this event name; a test message always goes.
    bool wants(std::string_view event_name) const;
    bool operator==(const NotifySettings&) const = default;
};

// One event of one slot, ready to be sent.
struct Notice {
    std::string event; // a name of kNoticeEventNames, or "test"
    int slot_number = 0;
    std::string program;     // the program's file name
    std::string machine;     // the host or computer name
    std::string time_iso;    // local time, ISO 8601 with the UTC offset
    std::string text;        // "[machine] HH:MM:SS 程序N (file) what happened"
    std::int64_t minute = 0; // local minutes since 1970: notices of one minute go together
    int second = 0;          // the second of that minute
};

} // namespace keeprun
