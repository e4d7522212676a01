#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "schedule/local_time.h"
#include "schedule/time_rule.h"

using namespace keeprun;

namespace {

TEST(DueWindow, FollowsTheRuleTable) {
    struct Case {
        const char* rule;
        std::vector<const char*> due, not_due;
    } cases[] = {
        {"整点重启", {"14:00:01", "09:00:06", "00:00:03"}, {"14:00:00", "14:00:07", "14:30:01"}},
        {"整点和半点重启",
         {"10:30:03", "10:00:01", "10:30:06"},
         {"10:30:00", "10:30:07", "10:15:01"}},
        {"0/4/8/12/16/20整点重启",
         {"16:00:04", "00:00:01", "20:00:06"},
         {"15:00:04", "16:20:04", "16:00:07"}},
        {"每小时的第5分钟重启", {"03:05:01", "03:05:06"}, {"03:05:07", "03:15:01"}},
        {"每小时的第10分钟重启", {"23:10:01"}, {"23:10:00", "23:05:01"}},
        {"每小时的第15分钟重启", {"07:15:05"}, {"07:05:05"}},
        {"07:30:00", {"07:30:00", "07:30:05", "7:30:01"}, {"07:30:06", "07:29:59", "19:30:02", ""}},
        {"7:30", {"07:30:02"}, {"07:31:00"}},
        {" 07:30:00 ", {"07:30:02"}, {}},
        // nothing reaches past midnight
        {"23:59:58", {"23:59:59"}, {"00:00:01"}},
        // neither a preset nor a time of day: never due
        {"", {}, {"00:00:00"}},
        {"abc", {}, {"00:00:02"}},
        {"12:34:56x", {}, {"12:34:57"}},
        {"24:00:00", {}, {"00:00:01"}},
        {"07:60:00", {}, {"08:00:01"}},
        {"07:3:00", {}, {"07:03:01"}},
        {"整点", {}, {"14:00:01"}},
    };
    for (const Case& c : cases) {
        for (const char* clock : c.due)
            EXPECT_TRUE(due_window(c.rule, clock)) << c.rule << " " << clock;
        for (const char* clock : c.not_due)
            EXPECT_FALSE(due_window(c.rule, clock)) << c.rule << " " << clock;
    }
}

TEST(DueWindow, EachRuleIsDueForSixSecondsPerTarget) {
    const std::pair<const char*, int> cases[] = {
        {"整点重启", 24 * 6},
        {"整点和半点重启", 48 * 6},
        {"0/4/8/12/16/20整点重启", 36},
        {"每小时的第5分钟重启", 24 * 6},
        {"每小时的第10分钟重启", 24 * 6},
        {"每小时的第15分钟重启", 24 * 6},
        {"12:00:00", 6},
    };
    for (const auto& [rule, seconds_per_day] : cases) {
        int due = 0;
        std::set<int> starts; // every second of a window names its start
        for (int s = 0; s < 86400; ++s)
            if (const auto start = due_window(rule, time_of_day_text(local_time_from_serial(s))))
                ++due, starts.insert(*start);
        EXPECT_EQ(due, seconds_per_day) << rule;
        EXPECT_EQ(static_cast<int>(starts.size()) * 6, seconds_per_day) << rule;
    }
}

TEST(LocalTime, SerialSecondsCountAcrossDaysAndMonths) {
    const LocalTime a{2026, 2, 28, 23, 59, 58};
    const LocalTime b{2026, 3, 1, 0, 0, 1};
    EXPECT_EQ(serial_seconds(b) - serial_seconds(a), 3);
    EXPECT_EQ(serial_seconds(local_time_from_serial(serial_seconds(b))), serial_seconds(b));
    EXPECT_EQ(time_of_day_text(LocalTime{2026, 1, 1, 7, 5, 9}), "07:05:09");
}

} // namespace
