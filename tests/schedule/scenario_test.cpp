// The engine driven tick by tick on a fake clock, 500 ms apart, over simulated hours.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

const std::string kProgram = "/opt/app/app";

// Ticks until the slot has built a list; the tick's clock reading in ms.
std::int64_t tick_until_list_built(Rig& rig, const Slot& slot) {
    for (int i = 0; i < 100; ++i) {
        const std::int64_t at = rig.clock.ms();
        rig.master.master_tick();
        rig.clock.advance(500);
        if (slot.steps().first_pending() != 0) return at;
    }
    ADD_FAILURE() << "no list was built";
    return 0;
}

std::string clock_text_at(std::int64_t ms) {
    return time_of_day_text(local_time_from_serial(ms / 1000));
}

// The clock starts at 13:59:50 plus a fraction of a second, so whole-second
// readings fall at different points of the 500 ms tick.
class FirstKind : public ::testing::TestWithParam<int> {};

TEST_P(FirstKind, ReopensAGoneProgramAndClicksInOrder) {
    Rig rig(LocalTime{2026, 12, 8, 13, 59, 50}, GetParam());
    rig.files.add_program(kProgram);
    rig.world.running.insert(kProgram);
    KeepAliveSlot& slot = rig.master.first(2);
    slot.set_path_text(" " + kProgram + " ");
    slot.set_delay(0, "8");
    slot.set_position(0, "100*200");
    slot.set_delay(2, "30"); // over 20: waits 20
    slot.set_position(2, "x300 * 400");
    slot.set_delay(3, "1");
    slot.set_position(3, "12*abc"); // no number after "*": no click

    rig.run_for_seconds(600);
    EXPECT_TRUE(rig.world.events.empty());
    EXPECT_TRUE(rig.world.lines.empty());

    rig.world.running.erase(kProgram);
    const std::int64_t found = tick_until_list_built(rig, slot);
    ASSERT_EQ(slot.steps().size(), 6);
    rig.run_for_seconds(3600);

    const auto opens = rig.world.of("open");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_GE(opens[0].ms - found, 2000);
    EXPECT_LE(opens[0].ms - found, 3000);
    ASSERT_EQ(rig.world.lines.size(), 1u);
    EXPECT_EQ(rig.world.lines[0], clock_text_at(opens[0].ms) + " 打开程序2");

    const auto clicks = rig.world.of("click");
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].argument, "100*200");
    EXPECT_EQ(clicks[1].argument, "300*400");
    // A wait of w seconds ends with whole-second readings, and the next tick acts.
    EXPECT_GE(clicks[0].ms - opens[0].ms, 8000);
    EXPECT_LE(clicks[0].ms - opens[0].ms, 8500);
    EXPECT_GE(clicks[1].ms - clicks[0].ms, 20000);
    EXPECT_LE(clicks[1].ms - clicks[0].ms, 20500);
    EXPECT_EQ(slot.steps().first_pending(), 0);

    // Gone again: one more opening, no duplicate while it runs.
    rig.world.running.erase(kProgram);
    rig.run_for_seconds(120);
    EXPECT_EQ(rig.world.of("open").size(), 2u);
    EXPECT_EQ(rig.world.lines.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(ClockPhases, FirstKind, ::testing::Values(0, 250, 500, 700, 999));

TEST(FirstKindScenario, PausedSlotAndOpenMessageBoxDoNothing) {
    Rig rig(LocalTime{2026, 12, 8, 9, 0, 0});
    rig.files.add_program(kProgram);
    KeepAliveSlot& slot = rig.master.first(1);
    slot.set_path_text(kProgram);
    slot.set_position(0, "1*1");

    slot.toggle_pause();
    rig.run_for_seconds(3600);
    rig.master.first(1).toggle_pause();
    rig.session.set_message_shown(true);
    rig.run_for_seconds(3600);
    EXPECT_TRUE(rig.world.events.empty());
    EXPECT_TRUE(rig.world.lines.empty());
    EXPECT_EQ(rig.world.checks, 0) << "paused and idle slots ask about no process";

    // A box that opens mid-list holds the list where it is.
    rig.session.set_message_shown(false);
    ASSERT_TRUE(rig.run_until([&] { return rig.world.of("open").size() == 1; }, 10));
    rig.session.set_message_shown(true);
    rig.run_for_seconds(60);
    EXPECT_TRUE(rig.world.of("click").empty());
    rig.session.set_message_shown(false);
    ASSERT_TRUE(rig.run_until([&] { return rig.world.of("click").size() == 1; }, 10));

    // A pause mid-list keeps the pending rows; a wait long gone ends at once.
    rig.world.running.erase(kProgram);
    ASSERT_TRUE(rig.run_until([&] { return rig.world.of("open").size() == 2; }, 10));
    slot.toggle_pause();
    rig.run_for_seconds(60);
    EXPECT_EQ(rig.world.of("click").size(), 1u);
    slot.toggle_pause();
    rig.tick();
    rig.tick();
    EXPECT_EQ(rig.world.of("click").size(), 2u);
}

TEST(FirstKindScenario, ClearMidListStopsTheList) {
    Rig rig(LocalTime{2026, 12, 8, 9, 0, 0});
    rig.files.add_program(kProgram);
    KeepAliveSlot& slot = rig.master.first(3);
    slot.set_path_text(kProgram);
    slot.set_position(0, "1*1");
    slot.set_position(1, "2*2");
    ASSERT_TRUE(rig.run_until([&] { return rig.world.of("open").size() == 1; }, 10));
    rig.run_for_seconds(3);
    slot.clear_slot();
    EXPECT_EQ(slot.steps().size(), 0);
    rig.world.running.erase(kProgram);
    rig.run_for_seconds(600);
    // The path is back to the hint: nothing more is opened or clicked.
    EXPECT_EQ(rig.world.of("open").size(), 1u);
    EXPECT_TRUE(rig.world.of("click").empty());
    EXPECT_EQ(rig.world.lines.size(), 1u);
}

// A start that waits for the user holds the list; one that fails is recorded
// as failed, clicks nothing and is heard by listeners; both slot kinds.
TEST(StartScenario, WaitingAndFailedStartsAreNeitherClickedNorRecordedAsOpened) {
    for (const int slot_number : {1, 5}) {
        Rig rig(LocalTime{2026, 12, 8, 9, 59, 0});
        rig.files.add_program(kProgram);
        Slot& slot = rig.session.slot(slot_number);
        rig.shortcuts.shortcuts["/home/u/app.desktop"] = {kProgram, {"-x \"a b\"", "/srv"}};
        ASSERT_EQ(slot.drop_files({"/home/u/app.desktop"}), DropOutcome::accepted);
        slot.set_position(0, "1*1");
        slot.set_position(1, "2*2");
        if (slot_number == 5) {
            slot.set_choice_text(0, "整点重启");
            slot.set_switch(0, 1);
        }
        const std::string n = std::to_string(slot_number);

        rig.world.starts_pending = true;
        rig.run_for_seconds(120);
        EXPECT_TRUE(rig.world.of("open").empty() && rig.world.of("click").empty()) << n;
        EXPECT_NE(slot.steps().first_pending(), 0) << n << ": the list waits on the start";

        rig.world.starts_pending = false;
        rig.world.failing.insert(kProgram);
        ASSERT_TRUE(rig.run_until([&] { return !rig.world.of("failed open").empty(); }, 5)) << n;
        rig.run_for_seconds(30);
        const auto failed = rig.world.of("failed open");
        // Failed starts count as quick exits: the crash-loop waits follow them.
        const auto last_failure =
            std::ranges::find_if(rig.world.lines.rbegin(), rig.world.lines.rend(),
                                 [](const std::string& l) { return l.ends_with("打开失败"); });
        ASSERT_NE(last_failure, rig.world.lines.rend()) << n;
        EXPECT_EQ(last_failure->substr(8), " 程序" + n + "打开失败") << n;
        EXPECT_EQ(last_failure->substr(0, 8), clock_text_at(failed.back().ms)) << n;
        EXPECT_TRUE(rig.world.of("click").empty()) << n;
        EXPECT_EQ(rig.world.failed_slots.front(), slot_number);
        EXPECT_EQ(rig.world.started_with, (StartSettings{"-x \"a b\"", "/srv"})) << n;

        rig.world.failing.clear();
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("click").size() == 2; }, 3600)) << n;
        EXPECT_EQ(rig.world.lines.back().substr(8), " 打开程序" + n) << n;
    }
}

// While the desktop takes no input (locked, disconnected) a start's clicks wait,
// at most until the next start replaces them, and then run in order; a click
// the system refuses is recorded. Both slot kinds.
TEST(ClickScenario, ClicksWaitForTheDesktopUntilTheNextStartAndRefusalsAreRecorded) {
    for (const int slot_number : {1, 5}) {
        Rig rig(LocalTime{2026, 12, 8, 9, 59, 0});
        rig.files.add_program(kProgram);
        Slot& slot = rig.session.slot(slot_number);
        slot.set_path_text(kProgram);
        slot.set_position(0, " -1500 * 300"); // a monitor left of the main one
        slot.set_position(1, "x:2*y:-2");
        if (slot_number == 5) {
            slot.set_choice_text(0, "整点重启");
            slot.set_switch(0, 1);
        }
        const std::string n = std::to_string(slot_number);
        // The program is gone (first kind) or its hour comes (second kind).
        const auto next_start = [&] {
            const std::size_t opens = rig.world.of("open").size();
            if (slot_number == 1) rig.world.running.erase(kProgram);
            return rig.run_until([&] { return rig.world.of("open").size() == opens + 1; }, 3600);
        };

        rig.world.desktop_locked = true;
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("open").size() == 1; }, 3600)) << n;
        rig.run_for_seconds(300);
        EXPECT_TRUE(rig.world.of("click").empty()) << n;
        ASSERT_TRUE(next_start()) << n << ": a held click holds no start back";
        rig.world.desktop_locked = false;
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("click").size() == 2; }, 60)) << n;
        rig.run_for_seconds(60);
        const auto clicks = rig.world.of("click");
        ASSERT_EQ(clicks.size(), 2u) << n << ": the first start's clicks went with it";
        EXPECT_EQ(clicks[0].argument, "-1500*300") << n;
        EXPECT_EQ(clicks[1].argument, "2*-2") << n;
        EXPECT_GT(clicks[0].steady_ms, rig.world.of("open")[1].steady_ms) << n;

        rig.world.clicks_refused = true;
        ASSERT_TRUE(next_start()) << n;
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("click").size() == 4; }, 60)) << n;
        rig.run_for_seconds(1);
        const std::vector<std::string> tail(rig.world.lines.end() - 2, rig.world.lines.end());
        EXPECT_EQ(tail[0].substr(8), " 程序" + n + "第1次点击未执行") << n;
        EXPECT_EQ(tail[1].substr(8), " 程序" + n + "第2次点击未执行") << n;
    }
}

TEST(FirstKindScenario, WallClockStepsNeitherStretchNorShortenAWait) {
    for (const std::int64_t step_s : {-3600, -5, 5, 3600}) {
        Rig rig(LocalTime{2026, 10, 25, 2, 59, 50});
        rig.files.add_program(kProgram);
        KeepAliveSlot& slot = rig.master.first(1);
        slot.set_path_text(kProgram);
        slot.set_delay(0, "10");
        slot.set_position(0, "1*1");
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("open").size() == 1; }, 10));
        rig.run_for_seconds(4);
        rig.clock.set_wall(step_s * 1000);
        ASSERT_TRUE(rig.run_until([&] { return rig.world.of("click").size() == 1; }, 30));
        const std::int64_t waited =
            rig.world.of("click")[0].steady_ms - rig.world.of("open")[0].steady_ms;
        EXPECT_GE(waited, 10000) << step_s;
        EXPECT_LE(waited, 10500) << step_s;
    }
}

TEST(MasterSwitchScenario, NothingRunsBeforeStartupIsDone) {
    FakeClock clock(LocalTime{2026, 12, 8, 14, 0, 0});
    FakeFiles files;
    FakeWorld world(clock);
    FakeShortcuts shortcuts;
    Session session({clock, files, world, world, world, shortcuts, FileRules::posix});
    MasterSwitch& master = session.master_switch();
    master.master_init();
    files.add_program(kProgram);
    master.first(1).set_path_text(kProgram);
    master.second(1).set_path_text(kProgram);
    master.second(1).set_switch(0, 1);
    master.second(1).set_choice_text(0, "整点重启");
    for (int i = 0; i < 40; ++i, clock.advance(500))
        master.master_tick();
    EXPECT_TRUE(world.events.empty());
    master.set_startup_done();
    for (int i = 0; i < 40; ++i, clock.advance(500))
        master.master_tick();
    EXPECT_FALSE(world.events.empty());
}

TEST(MasterSwitchScenario, TickArrivingInsideAStepIsSkipped) {
    Rig rig(LocalTime{2026, 12, 8, 9, 0, 0});
    rig.files.add_program(kProgram);
    rig.files.add_program("/opt/other");
    rig.master.first(1).set_path_text(kProgram);
    rig.master.first(1).set_position(0, "5*5");
    rig.master.first(2).set_path_text("/opt/other");
    rig.world.running.insert("/opt/other");
    // The click lets window messages run, and the timer fires from inside it.
    int nested = 0;
    rig.world.during_click = [&] {
        ++nested;
        for (int i = 0; i < 30; ++i) {
            rig.clock.advance(100);
            rig.master.master_tick();
        }
    };
    rig.run_for_seconds(60);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(rig.world.of("click").size(), 1u);
    EXPECT_EQ(rig.world.of("open").size(), 1u);
}

TEST(MasterSwitchScenario, ClearFromInsideAClickLeavesTheListEmpty) {
    Rig rig(LocalTime{2026, 12, 8, 9, 0, 0});
    rig.files.add_program(kProgram);
    KeepAliveSlot& slot = rig.master.first(1);
    slot.set_path_text(kProgram);
    slot.set_position(0, "5*5");
    slot.set_position(1, "6*6");
    rig.world.during_click = [&] { slot.clear_slot(); };
    rig.run_for_seconds(60);
    EXPECT_EQ(rig.world.of("click").size(), 1u);
    EXPECT_EQ(slot.steps().size(), 0);
    EXPECT_EQ(slot.steps().row(1).flag, StepFlag::unused);
    EXPECT_EQ(slot.steps().row(1).action, StepAction::none);
}

TEST(MasterSwitchScenario, AFailingSlotDoesNotStopTheOthers) {
    Rig rig(LocalTime{2026, 12, 8, 9, 0, 0});
    rig.files.add_program("/opt/broken");
    rig.files.add_program(kProgram);
    rig.master.first(1).set_path_text("/opt/broken");
    rig.master.first(4).set_path_text(kProgram);
    rig.files.add_program("/opt/timed");
    rig.master.second(1).set_path_text("/opt/timed");
    rig.master.second(1).set_switch(1, 1);
    rig.master.second(1).set_choice_text(1, "09:00:10");
    rig.world.throw_for = "/opt/broken";
    rig.run_for_seconds(30);
    EXPECT_EQ(rig.world.of("open").size(), 1u);
    EXPECT_EQ(rig.world.of("close").size(), 1u);
}

TEST(SecondKindScenario, CloseTimeClosesOnceThatDay) {
    Rig rig(LocalTime{2026, 12, 8, 19, 0, 0});
    rig.files.add_program(kProgram);
    TimedSlot& slot = rig.master.second(2);
    slot.set_path_text(kProgram);
    slot.set_switch(1, 1);
    slot.set_choice_text(1, "20:01:00");
    rig.world.running.insert(kProgram);
    rig.run_for_seconds(5 * 3600 - 1); // up to 23:59:59
    const auto closes = rig.world.of("close");
    ASSERT_EQ(closes.size(), 1u);
    const std::string at = clock_text_at(closes[0].ms);
    EXPECT_GE(at, "20:01:00");
    EXPECT_LE(at, "20:01:06");
    ASSERT_EQ(rig.world.lines.size(), 1u);
    EXPECT_EQ(rig.world.lines[0], at + " 关闭程序6");
    EXPECT_TRUE(rig.world.of("open").empty());
}

TEST(SecondKindScenario, HourlyRestartClosesAndReopensOncePerHour) {
    Rig rig(LocalTime{2026, 12, 8, 0, 0, 0});
    rig.files.add_program(kProgram);
    TimedSlot& slot = rig.master.second(1);
    slot.set_path_text(kProgram);
    slot.set_choice_text(0, "整点重启");
    slot.set_switch(0, 1);
    slot.set_position(1, "7*8");
    rig.run_for_seconds(24 * 3600);
    const auto closes = rig.world.of("close");
    const auto opens = rig.world.of("open");
    ASSERT_EQ(closes.size(), 24u);
    ASSERT_EQ(opens.size(), 24u);
    ASSERT_EQ(rig.world.of("click").size(), 24u);
    ASSERT_EQ(rig.world.lines.size(), 48u);
    for (std::size_t h = 0; h < 24; ++h) {
        const std::string close_at = clock_text_at(closes[h].ms);
        EXPECT_EQ(
            close_at.substr(0, 2),
            clock_text_at(static_cast<std::int64_t>(h) * 3600000 + closes[0].ms).substr(0, 2));
        EXPECT_GE(close_at.substr(3), "00:01");
        EXPECT_LE(close_at.substr(3), "00:07");
        EXPECT_GE(opens[h].ms - closes[h].ms, 3000);
        EXPECT_LE(opens[h].ms - closes[h].ms, 3500);
        EXPECT_EQ(rig.world.lines[2 * h], close_at + " 关闭程序5");
        EXPECT_EQ(rig.world.lines[2 * h + 1], clock_text_at(opens[h].ms) + " 打开程序5");
    }
}

TEST(SecondKindScenario, FourClickPositionsBuildTwelveRows) {
    Rig rig(LocalTime{2026, 12, 8, 10, 4, 55});
    rig.files.add_program(kProgram);
    TimedSlot& slot = rig.master.second(2); // default rule: minute 5 of every hour
    slot.set_path_text(kProgram);
    slot.set_switch(0, 1);
    const char* positions[] = {"1*1", "2*2", "3*3", "4*4"};
    for (int i = 0; i < 4; ++i)
        slot.set_position(i, positions[i]);
    slot.set_delay(1, "2.5"); // rounds half to even: 2
    const std::int64_t built = tick_until_list_built(rig, slot);
    EXPECT_EQ(slot.steps().size(), 12);
    EXPECT_EQ(slot.steps().row(12).action, StepAction::wait);
    EXPECT_EQ(slot.steps().row(12).argument, "6");
    EXPECT_EQ(slot.steps().row(6).argument, "2.5");
    EXPECT_EQ(clock_text_at(built), "10:05:01");
    rig.run_for_seconds(120);
    const auto clicks = rig.world.of("click");
    ASSERT_EQ(clicks.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(clicks[static_cast<std::size_t>(i)].argument, positions[i]);
    EXPECT_LE(clicks[1].ms - clicks[0].ms, 2500);
    EXPECT_EQ(rig.world.of("close").size(), 1u);
}

// Rule k of a timed slot switched `on`, its path kProgram or `path` (nullptr: the hint).
std::function<void(TimedSlot&)> rule(int k, const char* text, int on = 1,
                                     const char* path = kProgram.c_str()) {
    return [=](TimedSlot& slot) {
        if (path) slot.set_path_text(path);
        slot.set_choice_text(k, text);
        slot.set_switch(k, on);
    };
}

TEST(SecondKindScenario, ClosesAndOpensAsOftenAsTheRulesSay) {
    const LocalTime midnight{2026, 12, 8, 0, 0, 0}, evening{2026, 12, 8, 20, 0, 55},
        autumn{2026, 10, 25, 1, 59, 0};
    const char* hourly = "整点重启";
    const auto stored_both_on = [](TimedSlot& slot) {
        slot.apply_param_string(kProgram + "[*]8[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]1[*]整点重启"
                                           "[*]20:01:00");
    };
    // Seconds run before and after the wall clock is stepped by step_s; closes and opens.
    const struct {
        const char* name;
        LocalTime start;
        std::function<void(TimedSlot&)> set_up;
        int before_s, step_s, after_s;
        std::size_t closes, opens;
    } cases[] = {
        {"set back into the window just run", evening, rule(1, "20:01:00"), 14, -8, 60, 1, 0},
        {"summer time ends: 02:00 twice", autumn, rule(0, hourly), 3660, -3600, 3610, 2, 2},
        {"both switches stored on: only close stays", evening, stored_both_on, 3600, 0, 0, 1, 0},
        {"both switches off", midnight, rule(0, hourly, 0), 7200, 0, 0, 0, 0},
        {"path holds the hint", midnight, rule(0, hourly, 1, nullptr), 7200, 0, 0, 0, 0},
        {"no such file", midnight, rule(0, hourly, 1, "/opt/missing"), 7200, 0, 0, 0, 0},
        {"not executable", midnight, rule(0, hourly, 1, "/opt/doc"), 7200, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.start);
        rig.files.add_program(kProgram);
        rig.files.add_document("/opt/doc");
        c.set_up(rig.master.second(1));
        rig.run_for_seconds(c.before_s);
        rig.clock.set_wall(c.step_s * 1000);
        rig.run_for_seconds(c.after_s);
        EXPECT_EQ(rig.world.of("close").size(), c.closes);
        EXPECT_EQ(rig.world.of("open").size(), c.opens);
        EXPECT_EQ(rig.world.lines.size(), c.closes + c.opens) << "each one recorded";
        EXPECT_TRUE(c.closes + c.opens > 0 || rig.world.checks == 0)
            << "an idle slot asks about no process";
    }
}

} // namespace
