// Kept programs that hang, crash into a dialog or exit at every start, on a
// fake clock.
#include <gtest/gtest.h>

#include "fakes.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

const std::string kProgram = "/opt/app/game";

struct Kept : Rig {
    Kept() {
        files.add_program(kProgram);
        world.running.insert(kProgram);
        master.first(1).set_path_text(kProgram);
    }
    // Seconds from now until the slot ended its program (-1: not within `limit_s`).
    int seconds_until_ended(int limit_s) {
        const std::int64_t from = clock.ms();
        const std::size_t seen = world.events.size();
        for (int i = 0; i < limit_s * 2; ++i) {
            tick();
            for (std::size_t e = seen; e < world.events.size(); ++e)
                if (world.events[e].what.starts_with("end"))
                    return static_cast<int>((world.events[e].ms - from) / 1000);
        }
        return -1;
    }
    std::vector<std::string> lines_without_time() const {
        std::vector<std::string> out;
        for (const std::string& l : world.lines)
            out.push_back(l.substr(9));
        return out;
    }
};

TEST(Watch, AProgramWhoseWindowsStayQuietForAMinuteIsEndedAndStartedAgain) {
    Kept rig;
    rig.world.replies[kProgram] = PingReply::answered;
    rig.run_for_seconds(30);
    EXPECT_GT(rig.world.pings, 0);
    // Quiet for 50 s, then one answer: the minute starts again.
    rig.world.replies[kProgram] = PingReply::silent;
    rig.run_for_seconds(50);
    rig.world.replies[kProgram] = PingReply::answered;
    rig.run_for_seconds(10);
    rig.world.replies[kProgram] = PingReply::silent;
    const int ended = rig.seconds_until_ended(120);
    // Silent since the last ping that got no answer, checked every 10 s.
    EXPECT_GE(ended, 60);
    EXPECT_LE(ended, 80);
    ASSERT_TRUE(rig.run_until([&] { return rig.world.running.contains(kProgram); }, 5));
    EXPECT_EQ(rig.lines_without_time(), (std::vector<std::string>{"程序1未响应", "打开程序1"}));

    // Switched off, or with no window to ask, nothing is ended.
    rig.session.set_policy({false});
    EXPECT_EQ(rig.seconds_until_ended(200), -1);
    rig.session.set_policy({true});
    rig.world.replies[kProgram] = PingReply::not_asked;
    EXPECT_EQ(rig.seconds_until_ended(200), -1);
}

TEST(Watch, AProgramHeldByACrashDialogIsEndedAtOnce) {
    Kept rig;
    rig.run_for_seconds(20);
    rig.world.crashed.insert(kProgram);
    const int ended = rig.seconds_until_ended(30);
    EXPECT_GE(ended, 0);
    EXPECT_LE(ended, static_cast<int>(kCrashCheckSeconds));
    ASSERT_TRUE(rig.run_until([&] { return rig.world.running.contains(kProgram); }, 5));
    EXPECT_EQ(rig.lines_without_time(), (std::vector<std::string>{"程序1已崩溃", "打开程序1"}));
}

TEST(Watch, AProgramThatExitsAtEveryStartIsStartedLessOften) {
    Kept rig;
    rig.world.running.clear();
    rig.world.exits_at_once.insert(kProgram);
    rig.run_for_seconds(120);
    // 2 s waits five times, then 10, 20, 40 and 60 s: eight starts in two minutes.
    EXPECT_EQ(rig.world.of("open").size(), 8u);
    std::vector<std::string> waits;
    for (const std::string& l : rig.lines_without_time())
        if (l != "打开程序1") waits.push_back(l);
    EXPECT_EQ(waits, (std::vector<std::string>{"程序1连续5次很快退出，10秒后再打开",
                                               "程序1连续6次很快退出，20秒后再打开",
                                               "程序1连续7次很快退出，40秒后再打开",
                                               "程序1连续8次很快退出，60秒后再打开"}));

    // A change by the user starts the count again; so does a start that lasts.
    rig.master.first(1).set_delay(1, "4");
    EXPECT_EQ(rig.master.first(1).quick_exits(), 0);
    rig.run_for_seconds(30);
    EXPECT_GT(rig.master.first(1).quick_exits(), 0);
    rig.world.exits_at_once.clear();
    rig.run_for_seconds(200);
    EXPECT_EQ(rig.master.first(1).quick_exits(), 0);
}

TEST(Watch, ATimedRestartThatExitsEveryTimeIsToldButNeverDelayed) {
    Rig rig(LocalTime{2026, 12, 8, 11, 59, 0});
    rig.files.add_program(kProgram);
    rig.world.exits_at_once.insert(kProgram);
    TimedSlot& slot = rig.master.second(1);
    slot.set_path_text(kProgram);
    slot.set_choice_text(0, "整点重启");
    slot.set_switch(0, 1);
    rig.run_for_seconds(6 * 3600);
    const auto opens = rig.world.of("open");
    ASSERT_EQ(opens.size(), 6u) << "every hour, on time";
    for (const Event& open : opens)
        EXPECT_LE(open.ms / 1000 % 3600, 4) << "3 s after the close at the full hour";
    std::vector<std::string> told;
    for (const std::string& l : rig.world.lines)
        if (l.find("很快退出") != std::string::npos) told.push_back(l.substr(9));
    EXPECT_EQ(told, (std::vector<std::string>{"程序5连续5次很快退出", "程序5连续6次很快退出"}));
}

} // namespace
