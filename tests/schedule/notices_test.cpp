#include <gtest/gtest.h>

#include "schedule/notices.h"

using namespace keeprun;

TEST(Notices, EventsBecomeNoticesInPlainWords) {
    NoticeMaker maker("机房-07");
    const LocalTime now{2026, 12, 10, 14, 3, 22};
    const auto event = [](SlotEventKind kind, int slot, std::string line, bool again = false) {
        return SlotEvent{kind, slot, slot <= 4 ? "/opt/games/game.exe" : "/opt/app/pos", line,
                         again};
    };
    // In order: what the slots reported, and the notice text (or none).
    const std::pair<SlotEvent, const char*> story[] = {
        {event(SlotEventKind::opened, 1, "14:03:22 打开程序1"), nullptr}, // the first start
        {event(SlotEventKind::opened, 1, "14:03:22 打开程序1", true),
         "[机房-07] 14:03:22 程序1 (game.exe) 已重新打开"},
        {event(SlotEventKind::hung, 2, "14:03:22 程序2未响应"),
         "[机房-07] 14:03:22 程序2 (game.exe) 未响应，已重新打开"},
        {event(SlotEventKind::opened, 2, "14:03:22 打开程序2", true), nullptr}, // told above
        {event(SlotEventKind::opened, 2, "14:03:22 打开程序2", true),
         "[机房-07] 14:03:22 程序2 (game.exe) 已重新打开"},
        {event(SlotEventKind::crashed, 3, "14:03:22 程序3已崩溃"),
         "[机房-07] 14:03:22 程序3 (game.exe) 已崩溃，已重新打开"},
        {event(SlotEventKind::crash_loop, 4, "14:03:22 程序4连续5次很快退出，10秒后再打开"),
         "[机房-07] 14:03:22 程序4 (game.exe) 连续5次很快退出，10秒后再打开"},
        {event(SlotEventKind::open_failed, 4, "14:03:22 程序4打开失败"), nullptr},
        {event(SlotEventKind::closed, 5, "14:03:22 关闭程序5", true),
         "[机房-07] 14:03:22 程序5 (pos) 已定时重启"},
        {event(SlotEventKind::opened, 5, "14:03:22 打开程序5"), nullptr},
        {event(SlotEventKind::closed, 6, "14:03:22 关闭程序6"),
         "[机房-07] 14:03:22 程序6 (pos) 已定时关闭"},
    };
    for (const auto& [e, want] : story) {
        const auto notice = maker.make(e, now, 8 * 3600);
        EXPECT_EQ(notice ? notice->text : "", want ? want : "") << e.line;
        if (!notice) continue;
        EXPECT_EQ(notice->time_iso, "2026-12-10T14:03:22+08:00");
        EXPECT_EQ(notice->machine, "机房-07");
        EXPECT_EQ(notice->slot_number, e.slot_number);
    }
    EXPECT_EQ(maker.make(story[2].first, now, -(3 * 3600 + 1800))->time_iso,
              "2026-12-10T14:03:22-03:30");
    EXPECT_EQ(maker.make(story[1].first, now, 0)->event, "restarted");
}
