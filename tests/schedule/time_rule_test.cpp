#include <gtest/gtest.h>

#include "schedule/local_time.h"
#include "schedule/time_rule.h"

using namespace keeprun;

namespace {

struct DueCase {
    const char* rule;
    const char* clock;
    int want;
};

const DueCase kDueCases[] = {
    // every hour on the hour: mm:ss 00:01 to 00:06
    {"整点重启", "14:00:01", 1},
    {"整点重启", "09:00:06", 1},
    {"整点重启", "00:00:03", 1},
    {"整点重启", "14:00:00", 0},
    {"整点重启", "14:00:07", 0},
    {"整点重启", "14:30:01", 0},
    {"整点重启", "14:59:59", 0},
    // on the hour and half hour
    {"整点和半点重启", "10:30:03", 1},
    {"整点和半点重启", "10:00:01", 1},
    {"整点和半点重启", "10:30:06", 1},
    {"整点和半点重启", "10:30:00", 0},
    {"整点和半点重启", "10:30:07", 0},
    {"整点和半点重启", "10:15:01", 0},
    // every four hours from midnight
    {"0/4/8/12/16/20整点重启", "16:00:04", 1},
    {"0/4/8/12/16/20整点重启", "00:00:01", 1},
    {"0/4/8/12/16/20整点重启", "20:00:06", 1},
    {"0/4/8/12/16/20整点重启", "15:00:04", 0},
    {"0/4/8/12/16/20整点重启", "16:20:04", 0},
    {"0/4/8/12/16/20整点重启", "16:00:07", 0},
    {"0/4/8/12/16/20整点重启", "16:00:00", 0},
    // minutes 5, 10 and 15 of every hour
    {"每小时的第5分钟重启", "03:05:01", 1},
    {"每小时的第5分钟重启", "03:05:06", 1},
    {"每小时的第5分钟重启", "03:05:07", 0},
    {"每小时的第5分钟重启", "03:15:01", 0},
    {"每小时的第10分钟重启", "23:10:01", 1},
    {"每小时的第10分钟重启", "23:10:00", 0},
    {"每小时的第15分钟重启", "07:15:05", 1},
    {"每小时的第15分钟重启", "07:05:05", 0},
    // a time of day: from that time to five seconds after
    {"07:30:00", "07:30:05", 1},
    {"07:30:00", "07:30:00", 1},
    {"07:30:00", "07:30:06", 0},
    {"07:30:00", "07:29:59", 0},
    {"07:30:00", "19:30:02", 0},
    {"20:01:00", "20:01:03", 1},
    {"7:30", "07:30:02", 1},
    {" 07:30:00 ", "07:30:02", 1},
    // nothing reaches past midnight
    {"23:59:58", "23:59:59", 1},
    {"23:59:58", "00:00:01", 0},
    // neither a preset nor a time of day: never due
    {"", "00:00:00", 0},
    {"abc", "00:00:02", 0},
    {"12:34:56x", "12:34:57", 0},
    {"24:00:00", "00:00:01", 0},
    {"07:60:00", "08:00:01", 0},
    {"07:3:00", "07:03:01", 0},
    {"整点", "14:00:01", 0},
    // an unreadable clock is never due
    {"整点重启", "", 0},
    {"07:30:00", "7:30:01", 1},
    {"07:30:00", "garbage", 0},
};

TEST(IsDue, FollowsTheRuleTable) {
    for (const DueCase& c : kDueCases)
        EXPECT_EQ(is_due(c.rule, c.clock), c.want) << c.rule << " at " << c.clock;
}

TEST(IsDue, EachPresetIsDueForExactlySixSecondsAnHour) {
    struct Expect {
        const char* rule;
        int seconds_per_day;
    } cases[] = {
        {"整点重启", 24 * 6},
        {"整点和半点重启", 48 * 6},
        {"0/4/8/12/16/20整点重启", 6 * 6},
        {"每小时的第5分钟重启", 24 * 6},
        {"每小时的第10分钟重启", 24 * 6},
        {"每小时的第15分钟重启", 24 * 6},
        {"12:00:00", 6},
    };
    for (const auto& c : cases) {
        int due = 0;
        for (int s = 0; s < 86400; ++s)
            due += is_due(c.rule,
                          time_of_day_text(LocalTime{2026, 1, 1, s / 3600, s / 60 % 60, s % 60}));
        EXPECT_EQ(due, c.seconds_per_day) << c.rule;
    }
}

TEST(LocalTime, SerialSecondsCountAcrossDaysAndMonths) {
    const LocalTime a{2026, 2, 28, 23, 59, 58};
    const LocalTime b{2026, 3, 1, 0, 0, 1};
    EXPECT_EQ(serial_seconds(b) - serial_seconds(a), 3);
    for (const LocalTime& t : {a, b, LocalTime{2024, 12, 31, 12, 0, 0}}) {
        const LocalTime back = local_time_from_serial(serial_seconds(t));
        EXPECT_EQ(serial_seconds(back), serial_seconds(t));
        EXPECT_EQ(back.day, t.day);
    }
    EXPECT_EQ(time_of_day_text(LocalTime{2026, 1, 1, 7, 5, 9}), "07:05:09");
}

} // namespace
