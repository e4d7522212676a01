#include "schedule/notices.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace keeprun {
namespace {

// "2026-12-10T14:03:22+08:00".
std::string iso_time(const LocalTime& t, int utc_offset) {
    const int minutes = std::abs(utc_offset) / 60;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, utc_offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return buf;
}

// What the record line says after "程序N": "未响应", "连续5次很快退出，10秒后再打开".
std::string what_happened(const SlotEvent& event) {
    const std::string label = "程序" + std::to_string(event.slot_number);
    const std::size_t at = event.line.find(label);
    return at == std::string::npos ? std::string() : event.line.substr(at + label.size());
}

void stamp(Notice& notice, const std::string& machine, const LocalTime& now, int utc_offset,
           const std::string& words) {
    notice.machine = machine;
    notice.time_iso = iso_time(now, utc_offset);
    notice.minute = serial_seconds(now) / 60;
    notice.second = now.second;
    notice.text = "[" + machine + "] " + time_of_day_text(now) + " " + words;
}

} // namespace

std::string program_file_name(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::optional<Notice> NoticeMaker::make(const SlotEvent& event, const LocalTime& now,
                                        int utc_offset) {
    const auto n = static_cast<std::size_t>(event.slot_number);
    if (n >= start_told_.size()) return std::nullopt;
    const bool kept = event.slot_number <= 4;
    NoticeEvent kind{};
    std::string words;
    switch (event.kind) {
    case SlotEventKind::opened:
        if (std::exchange(start_told_[n], false) || !kept || !event.again) return std::nullopt;
        kind = NoticeEvent::restarted;
        words = "已重新打开";
        break;
    case SlotEventKind::hung:
    case SlotEventKind::crashed:
        kind = event.kind == SlotEventKind::hung ? NoticeEvent::hung : NoticeEvent::crashed;
        words = what_happened(event) + "，已重新打开";
        start_told_[n] = true;
        break;
    case SlotEventKind::crash_loop:
        kind = NoticeEvent::crash_loop;
        words = what_happened(event);
        start_told_[n] = kept;
        break;
    case SlotEventKind::closed:
        if (kept) return std::nullopt;
        kind = NoticeEvent::timed;
        words = event.again ? "已定时重启" : "已定时关闭";
        break;
    case SlotEventKind::open_failed:
    case SlotEventKind::click_failed:
        return std::nullopt;
    }
    Notice notice;
    notice.event = notice_event_name(kind);
    notice.slot_number = event.slot_number;
    notice.program = program_file_name(event.path);
    stamp(notice, machine_, now, utc_offset,
          "程序" + std::to_string(event.slot_number) + " (" + notice.program + ") " + words);
    return notice;
}

Notice test_notice(const std::string& machine, const LocalTime& now, int utc_offset) {
    Notice notice;
    notice.event = "test";
    stamp(notice, machine, now, utc_offset, "keeprun 通知测试：这个群会收到本机的程序通知");
    return notice;
}

} // namespace keeprun
