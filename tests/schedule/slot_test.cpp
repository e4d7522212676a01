#include <gtest/gtest.h>

#include "fakes.h"
#include "schedule/split.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

const std::string kFresh = "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]";

TEST(Slot, FreshSlotAndTheDocumentedExample) {
    Rig rig({}, 0, FileRules::windows);
    KeepAliveSlot& slot = rig.master.first(3);
    EXPECT_EQ(slot.label(), "程序3");
    EXPECT_EQ(slot.to_param_string(), kHint + kFresh);
    EXPECT_FALSE(slot.refresh_marks().path_is_program);
    EXPECT_EQ(Slot::delay_items(0).size(), 55u); // "6" to "60"
    EXPECT_EQ(Slot::delay_items(1).front(), "2");

    const std::string example =
        "C:\\Tools\\app.exe[*]8[*]3[*]3[*]3[*]640*480[*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
    slot.set_path_text("C:\\Tools\\app.exe");
    slot.set_position(0, "640*480");
    EXPECT_EQ(slot.to_param_string(), example);
    EXPECT_TRUE(slot.refresh_marks().path_is_program);
    rig.master.first(1).apply_param_string(example);
    EXPECT_EQ(rig.master.first(1).to_param_string(), example);
}

TEST(Slot, RoundTripRestoresEverySettingOfBothKinds) {
    Rig rig;
    KeepAliveSlot& a = rig.master.first(1);
    a.set_path_text(" /opt/app/run ");
    const char* delays[] = {"12", "2.5", "x", ""};
    const char* positions[] = {"1*2", "", " 30*40 ", "*9"};
    for (int i = 0; i < 4; ++i) {
        a.set_delay(i, delays[i]);
        a.set_position(i, positions[i]);
    }
    KeepAliveSlot& b = rig.master.first(2);
    b.apply_param_string(a.to_param_string());
    EXPECT_EQ(b.to_param_string(), a.to_param_string());
    EXPECT_EQ(b.path_text(), " /opt/app/run ");

    TimedSlot& c = rig.master.second(1);
    c.set_path_text("/opt/app/run");
    c.set_switch(0, 1);
    c.set_choice_text(0, "每小时的第10分钟重启");
    c.set_choice_text(1, "  06:15:00 ");
    c.set_position(2, "5*5");
    TimedSlot& d = rig.master.second(4);
    d.apply_param_string(c.to_param_string());
    EXPECT_EQ(d.to_param_string(), c.to_param_string());
    EXPECT_EQ(d.switch_value(0), 1);
    EXPECT_EQ(d.rule_text(1), "06:15:00");
}

TEST(Slot, LoadingAppliesOnlyWhatTheStringHolds) {
    const std::string before = "/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0[*]整点重启[*]";
    const std::string tail = "[*]整点重启[*]20:01:00[*][*][*]";
    const std::pair<const char*, std::string> cases[] = {
        {"/bin/x", "/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0" + tail},
        {"", "/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0" + tail},
        {"/b[*]7", "/b[*]7[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0" + tail},
        // switches other than "0" or "1" stay as they were
        {"/b[*]7[*]3[*]3[*]3[*][*][*][*][*]2[*]yes",
         "/b[*]7[*]3[*]3[*]3[*][*][*][*][*]1[*]0" + tail},
        // typed times of day come back as HH:MM:SS
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]12:34:56[*] 7:05 ",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]12:34:56[*]07:05:00[*][*][*]"},
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点和半点重启[*]23:15:30",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点和半点重启[*]23:15:30[*][*][*]"},
        // any other rule is the default, with its switch off
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]24:00[*]7:60",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*]00:00:00[*]20:01:00[*][*][*]"},
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点重启[*]整点重启",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0" + tail},
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]1[*][*]",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*]00:00:00[*]20:01:00[*][*][*]"},
        // a shortcut's arguments and start folder; what follows them is ignored
        {"/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*]整点重启[*]20:01:00[*]-w 1[*]/g[*]r[*]r",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*]整点重启[*]20:01:00[*]-w 1[*]/g[*]"},
    };
    for (const auto& [stored, want] : cases) {
        Rig rig;
        TimedSlot& slot = rig.master.second(1);
        slot.apply_param_string(before);
        slot.apply_param_string(stored);
        EXPECT_EQ(slot.to_param_string(), want) << stored;
    }
}

TEST(Slot, TypedTextIsStoredAsTheNextStartReadsIt) {
    // The field typed into ('p'ath, 'd'elay, 'x' position, 'r'ule list) and its
    // number, the text, and the stored field; the separator is refused.
    const std::tuple<char, int, const char*, std::size_t, const char*> cases[] = {
        {'r', 0, "7:30", 11, "07:30:00"},
        {'r', 1, " 23:15:30 ", 12, "23:15:30"},
        {'r', 0, "整点重启", 11, "整点重启"},
        {'r', 1, "7:60", 12, "7:60"},
        {'r', 1, "6:00[*]", 12, "20:01:00"},
        {'p', 0, "/a[*]b", 0, kHint},
        {'d', 2, "5[*]", 3, "3"},
        {'x', 1, "1*1[*]", 6, ""},
    };
    for (const auto& [field, n, typed, stored_at, stored] : cases) {
        Rig rig;
        TimedSlot& slot = rig.master.second(1);
        if (field == 'p') slot.set_path_text(typed);
        if (field == 'd') slot.set_delay(n, typed);
        if (field == 'x') slot.set_position(n, typed);
        if (field == 'r') slot.set_choice_text(n, typed);
        EXPECT_EQ(split_text(slot.to_param_string(), "[*]")[stored_at], stored) << typed;
    }
}

TEST(Slot, ClearResetsFieldsButKeepsSwitchesRulesAndPause) {
    Rig rig;
    TimedSlot& slot = rig.master.second(2);
    slot.apply_param_string(
        "/p[*]30[*]4[*]5[*]6[*]1*1[*]2*2[*]3*3[*]4*4[*]0[*]1[*]整点重启[*]06:00:00");
    slot.clear_slot();
    EXPECT_EQ(
        slot.to_param_string(),
        kHint + std::string("[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点重启[*]06:00:00[*][*][*]"));
    KeepAliveSlot& first = rig.master.first(1);
    first.toggle_pause();
    first.clear_slot();
    EXPECT_TRUE(first.paused());
}

TEST(Slot, MarksShowWhichFieldsTakeEffect) {
    const std::pair<const char*, bool> positions[] = {
        {"12*3", true}, {"12*", false},     {"12*abc", false}, {"*", false},
        {"*5", false},  {"100 200", false}, {" 1*2 ", true},   {"x1 * y2", true},
        {"中*", false}, {"-1500*-3", true}, {"1-*-", false}};
    Rig rig;
    KeepAliveSlot& slot = rig.master.first(1);
    for (const auto& [position, set] : positions) {
        slot.set_position(1, position);
        const Marks m = slot.refresh_marks();
        EXPECT_EQ(m.position_set[1], set) << position;
    }
    const std::tuple<FileRules, const char*, bool> paths[] = {
        {FileRules::windows, "C:\\a.exe", true},
        {FileRules::windows, "/usr/bin/a", false},
        {FileRules::posix, "  /usr/bin/a", true},
        {FileRules::posix, "C:\\a.exe", false}};
    for (const auto& [rules, path, program] : paths) {
        Rig r({}, 0, rules);
        r.master.first(1).set_path_text(path);
        EXPECT_EQ(r.master.first(1).refresh_marks().path_is_program, program) << path;
    }
}

TEST(Slot, SecondKindSwitchesExcludeEachOther) {
    Rig rig;
    TimedSlot& slot = rig.master.second(3);
    int changes = 0;
    slot.set_on_change([&] { ++changes; });
    slot.set_switch(1, 1);
    slot.set_switch(0, 1);
    EXPECT_EQ(slot.switch_value(1), 0);
    EXPECT_EQ(slot.refresh_marks().rule_lists_on, (std::array<bool, 2>{true, false}));
    EXPECT_EQ(changes, 2);

    // The hidden switches of the first kind have no such rule.
    KeepAliveSlot& first = rig.master.first(1);
    first.apply_param_string("/p[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]1[*][*]");
    EXPECT_EQ(first.switch_value(0) + first.switch_value(1), 2);
}

TEST(Slot, TimeListsGiveEachSecondKindSlotItsDefaults) {
    Rig rig;
    const char* rules[] = {"00:00:00", "每小时的第5分钟重启", "每小时的第10分钟重启",
                           "每小时的第15分钟重启"};
    for (int k = 1; k <= 4; ++k) {
        TimedSlot& slot = rig.master.second(k);
        EXPECT_EQ(slot.rule_text(0), rules[k - 1]);
        EXPECT_EQ(slot.rule_text(1), "20:01:00");
        EXPECT_EQ(slot.choice_list(0).items.size(), 1446u);
        EXPECT_EQ(slot.choice_list(1).items.front(), "00:00:00");
        EXPECT_EQ(slot.choice_list(1).items.size(), 1440u);
    }
}

TEST(Slot, DropTakesProgramsAndShortcutsAndRejectsOtherFiles) {
    struct Case {
        FileRules rules;
        std::vector<std::string> files;
        DropOutcome want;
        const char* path_after; // nullptr: the slot is unchanged
        int changes;
    } cases[] = {
        {FileRules::windows,
         {"D:\\Games\\GAME.EXE"},
         DropOutcome::accepted,
         "D:\\Games\\GAME.EXE",
         1},
        {FileRules::windows,
         {"C:\\Desk\\App.lnk"},
         DropOutcome::accepted,
         "C:\\Program Files\\App\\app.exe",
         1},
        {FileRules::windows, {"C:\\s\\Big.LNK"}, DropOutcome::accepted, "C:\\Big\\BIG.EXE", 1},
        {FileRules::windows, {"C:\\s\\doc.lnk"}, DropOutcome::ignored, nullptr, 1},
        {FileRules::windows, {"C:\\s\\broken.lnk"}, DropOutcome::ignored, nullptr, 1},
        {FileRules::windows, {"C:\\s\\odd.lnk"}, DropOutcome::ignored, nullptr, 1},
        {FileRules::windows, {"C:\\readme.txt"}, DropOutcome::rejected, nullptr, 1},
        {FileRules::windows,
         {"C:\\1.exe", "C:\\2.exe", "C:\\3.exe"},
         DropOutcome::accepted,
         "C:\\1.exe",
         1},
        {FileRules::windows, {"C:\\a.txt", "C:\\2.exe"}, DropOutcome::rejected, nullptr, 1},
        {FileRules::windows, {}, DropOutcome::no_file, nullptr, 0},
        {FileRules::posix, {"/opt/game/game"}, DropOutcome::accepted, "/opt/game/game", 1},
        {FileRules::posix, {"/home/u/x.exe"}, DropOutcome::rejected, nullptr, 1},
        {FileRules::posix, {"/home/u/game.desktop"}, DropOutcome::accepted, "/opt/game/game", 1},
        {FileRules::posix, {"/home/u/notes.desktop"}, DropOutcome::ignored, nullptr, 1},
        {FileRules::posix, {"/home/u/gone.desktop"}, DropOutcome::ignored, nullptr, 1},
        {FileRules::posix, {"/opt/game"}, DropOutcome::rejected, nullptr, 1},
        // a path with the separator could not be stored
        {FileRules::posix, {"/opt/a[*]b"}, DropOutcome::rejected, nullptr, 1},
        {FileRules::posix, {"/home/u/ab.desktop"}, DropOutcome::ignored, nullptr, 1},
    };
    for (const Case& c : cases) {
        Rig rig({}, 0, c.rules);
        rig.files.add_program("/opt/game/game");
        rig.files.add_folder("/opt/game");
        rig.files.add_program("/opt/a[*]b");
        rig.files.add_document("/home/u/x.exe");
        rig.files.add_document("/home/u/notes.txt");
        rig.shortcuts.shortcuts = {
            {"C:\\Desk\\App.lnk",
             {"C:\\Program Files\\App\\app.exe", {"-w \"a b\"", "D:\\App Data"}}},
            {"C:\\s\\Big.LNK", {"C:\\Big\\BIG.EXE", {}}},
            {"C:\\s\\doc.lnk", {"C:\\s\\doc.docx", {}}},
            {"C:\\s\\odd.lnk", {"C:\\Big\\BIG.EXE", {"[*]", ""}}},
            {"/home/u/game.desktop", {"/opt/game/game", {"--full", "/srv/game"}}},
            {"/home/u/notes.desktop", {"/home/u/notes.txt", {}}},
            {"/home/u/ab.desktop", {"/opt/a[*]b", {}}}};
        TimedSlot& slot = rig.master.second(1);
        slot.apply_param_string(
            "/old[*]30[*]4[*]5[*]6[*]1*1[*]2*2[*][*]4*4[*]0[*]1[*]整点重启[*]06:00:00");
        const std::string stored = slot.to_param_string();
        int changes = 0;
        slot.set_on_change([&] { ++changes; });
        const std::string name = c.files.empty() ? "nothing" : c.files.front();

        EXPECT_EQ(slot.drop_files(c.files), c.want) << name;
        EXPECT_EQ(changes, c.changes) << name;
        const auto dropped = rig.shortcuts.shortcuts.find(name);
        const StartSettings start = c.path_after && dropped != rig.shortcuts.shortcuts.end()
                                        ? dropped->second.start
                                        : StartSettings{};
        const std::string want = c.path_after
                                     ? c.path_after +
                                           std::string("[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]"
                                                       "整点重启[*]06:00:00[*]") +
                                           start.arguments + "[*]" + start.folder + "[*]"
                                     : stored;
        EXPECT_EQ(slot.to_param_string(), want) << name;
        // A typed path has no shortcut's settings.
        slot.set_path_text("/typed");
        EXPECT_EQ(slot.start_settings(), StartSettings{}) << name;
    }
}

} // namespace
