#include <gtest/gtest.h>

#include "fakes.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

constexpr const char* kHint = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框";

struct SlotRig : Rig {
    explicit SlotRig(FileRules rules = FileRules::posix)
        : Rig(LocalTime{2026, 12, 8, 12, 0, 0}, 0, rules) {
        for (int k = 1; k <= 4; ++k) {
            master.first(k).a_csh(k, kHint);
            master.second(k).a_csh(k + 4, kHint);
        }
    }
};

TEST(Slot, FreshFirstKindSlotWritesItsInitialString) {
    SlotRig rig;
    ucf_fa& slot = rig.master.first(3);
    EXPECT_EQ(slot.label(), "程序3");
    EXPECT_EQ(slot.path_text(), kHint);
    EXPECT_EQ(slot.a_get_canshu(),
              std::string(kHint) + "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    const Marks m = slot.refresh_marks();
    EXPECT_EQ(m.path_fore, kColourGrey);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(m.position_set[i]);
        EXPECT_EQ(m.position[i].fore, kColourGrey);
    }
    EXPECT_FALSE(m.rule_lists.has_value());
    EXPECT_EQ(Slot::delay_items(0).front(), "6");
    EXPECT_EQ(Slot::delay_items(0).size(), 55u);
    EXPECT_EQ(Slot::delay_items(3).front(), "2");
    EXPECT_EQ(Slot::delay_items(3).back(), "60");
}

TEST(Slot, WritesTheDocumentedExampleByteForByte) {
    const std::string example =
        "C:\\Tools\\app.exe[*]8[*]3[*]3[*]3[*]640*480[*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
    SlotRig rig(FileRules::windows);
    ucf_fa& slot = rig.master.first(1);
    slot.set_path_text("C:\\Tools\\app.exe");
    slot.set_position(0, "640*480");
    EXPECT_EQ(slot.a_get_canshu(), example);
    EXPECT_EQ(slot.refresh_marks().path_fore, kColourNearBlack);

    ucf_fa& other = rig.master.first(2);
    other.a_set_canshu(example);
    EXPECT_EQ(other.a_get_canshu(), example);
}

TEST(Slot, RoundTripRestoresEverySettingOfBothKinds) {
    SlotRig rig;
    ucf_fa& a = rig.master.first(1);
    a.set_path_text(" /opt/app/run ");
    const char* delays[] = {"12", "2.5", "x", ""};
    const char* positions[] = {"1*2", "", " 30*40 ", "*9"};
    for (int i = 0; i < 4; ++i) {
        a.set_delay(i, delays[i]);
        a.set_position(i, positions[i]);
    }
    ucf_fa& b = rig.master.first(2);
    b.a_set_canshu(a.a_get_canshu());
    EXPECT_EQ(b.a_get_canshu(), a.a_get_canshu());
    EXPECT_EQ(b.path_text(), " /opt/app/run ");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.delay(i), delays[i]);
        EXPECT_EQ(b.position(i), positions[i]);
    }

    ucf_fa2& c = rig.master.second(1);
    c.set_path_text("/opt/app/run");
    c.set_switch(0, 1);
    c.set_choice_text(0, "每小时的第10分钟重启");
    c.set_choice_text(1, "  06:15:00 ");
    c.set_position(2, "5*5");
    ucf_fa2& d = rig.master.second(4);
    d.a_set_canshu(c.a_get_canshu());
    EXPECT_EQ(d.a_get_canshu(), c.a_get_canshu());
    EXPECT_EQ(d.switch_value(0), 1);
    EXPECT_EQ(d.switch_value(1), 0);
    EXPECT_EQ(d.a_txt(0), "每小时的第10分钟重启");
    EXPECT_EQ(d.a_txt(1), "06:15:00");
    EXPECT_EQ(d.position(2), "5*5");
}

TEST(Slot, LoadingAppliesOnlyWhatTheStringHolds) {
    struct Case {
        const char* name;
        const char* stored;
        const char* want; // the slot's string afterwards
    } cases[] = {
        {"no separator", "/bin/x",
         "/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0[*]整点重启[*]20:01:00[*][*][*]"},
        {"empty", "", "/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0[*]整点重启[*]20:01:00[*][*][*]"},
        {"two fields", "/b[*]7",
         "/b[*]7[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0[*]整点重启[*]20:01:00[*][*][*]"},
        {"switch not 0 or 1", "/b[*]7[*]3[*]3[*]3[*][*][*][*][*]2[*]yes",
         "/b[*]7[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]整点重启[*]20:01:00[*][*][*]"},
        {"rule not in the list", "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]12:34:56[*]12:34:56",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]整点重启[*]20:01:00[*][*][*]"},
        {"rule in the list", "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]12:34:00[*]00:00:00",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]12:34:00[*]00:00:00[*][*][*]"},
        {"both switches on", "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]1[*][*]",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点重启[*]20:01:00[*][*][*]"},
        {"extra fields", "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*][*]r[*]r[*]r[*]r[*]r",
         "/b[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*]整点重启[*]20:01:00[*][*][*]"},
    };
    for (const Case& c : cases) {
        SlotRig rig;
        ucf_fa2& slot = rig.master.second(1);
        slot.a_set_canshu("/a[*]9[*]3[*]3[*]3[*]1*1[*][*][*][*]1[*]0[*]整点重启[*][*][*][*]");
        slot.a_set_canshu(c.stored);
        EXPECT_EQ(slot.a_get_canshu(), c.want) << c.name;
    }
}

TEST(Slot, ClearResetsFieldsButKeepsSwitchesRulesAndPause) {
    SlotRig rig;
    ucf_fa2& slot = rig.master.second(2);
    slot.a_set_canshu("/p[*]30[*]4[*]5[*]6[*]1*1[*]2*2[*]3*3[*]4*4[*]0[*]1[*]整点重启[*]06:00:00");
    slot.clear_slot();
    EXPECT_EQ(slot.a_get_canshu(),
              std::string(kHint) +
                  "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点重启[*]06:00:00[*][*][*]");

    ucf_fa& first = rig.master.first(1);
    first.toggle_pause();
    first.clear_slot();
    EXPECT_TRUE(first.paused());
}

TEST(Slot, MarksShowWhichFieldsTakeEffect) {
    struct Case {
        const char* position;
        bool set;
    } cases[] = {{"12*", true}, {"1*", false}, {"100 200", false}, {" 1*2 ", true},
                 {"", false},   {"***", true}, {"中*", false},     {"1*中", true}};
    SlotRig rig;
    ucf_fa& slot = rig.master.first(1);
    for (const Case& c : cases) {
        slot.set_position(1, c.position);
        const Marks m = slot.refresh_marks();
        EXPECT_EQ(m.position_set[1], c.set) << c.position;
        EXPECT_EQ(m.delay_back[1], c.set ? kColourWhite : kColourUnsetField) << c.position;
        EXPECT_EQ(m.position[1].back, c.set ? kColourWhite : kColourUnsetField) << c.position;
        EXPECT_EQ(m.position[1].fore, c.set ? kColourNearBlack : kColourGrey) << c.position;
    }

    struct PathCase {
        FileRules rules;
        const char* path;
        std::uint32_t fore;
    } paths[] = {{FileRules::windows, "C:\\a.exe", kColourNearBlack},
                 {FileRules::windows, "/usr/bin/a", kColourGrey},
                 {FileRules::posix, "  /usr/bin/a", kColourNearBlack},
                 {FileRules::posix, "C:\\a.exe", kColourGrey},
                 {FileRules::posix, kHint, kColourGrey}};
    for (const PathCase& p : paths) {
        SlotRig r(p.rules);
        r.master.first(1).set_path_text(p.path);
        EXPECT_EQ(r.master.first(1).refresh_marks().path_fore, p.fore) << p.path;
    }
}

TEST(Slot, SecondKindSwitchesExcludeEachOther) {
    SlotRig rig;
    ucf_fa2& slot = rig.master.second(3);
    int changes = 0;
    slot.set_on_change([&] { ++changes; });
    slot.set_switch(1, 1);
    slot.set_switch(0, 1);
    EXPECT_EQ(slot.switch_value(0), 1);
    EXPECT_EQ(slot.switch_value(1), 0);
    auto lists = *slot.refresh_marks().rule_lists;
    EXPECT_EQ(lists[0].back, kColourWhite);
    EXPECT_EQ(lists[0].fore, kColourNearBlack);
    EXPECT_EQ(lists[1].back, kColourPanelGrey);
    EXPECT_EQ(lists[1].fore, kColourGrey);
    slot.set_switch(0, 0);
    EXPECT_EQ(slot.switch_value(1), 0);
    EXPECT_EQ(changes, 3);

    // The hidden switches of the first kind have no such rule.
    ucf_fa& first = rig.master.first(1);
    first.a_set_canshu("/p[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]1[*][*]");
    EXPECT_EQ(first.switch_value(0), 1);
    EXPECT_EQ(first.switch_value(1), 1);
}

TEST(Slot, TimeListsGiveEachSecondKindSlotItsDefaults) {
    SlotRig rig;
    const char* rules[] = {"00:00:00", "每小时的第5分钟重启", "每小时的第10分钟重启",
                           "每小时的第15分钟重启"};
    const int tops[] = {5040, 5880, 4020, 4850};
    for (int k = 1; k <= 4; ++k) {
        ucf_fa2& slot = rig.master.second(k);
        EXPECT_EQ(slot.a_txt(0), rules[k - 1]);
        EXPECT_EQ(slot.a_txt(1), "20:01:00");
        EXPECT_EQ(slot.rule_list_top(), tops[k - 1]);
        EXPECT_EQ(slot.choice_list(0).items.size(), 1446u);
        EXPECT_EQ(slot.choice_list(1).items.size(), 1440u);
        EXPECT_EQ(slot.choice_list(0).items[2], "0/4/8/12/16/20整点重启");
        EXPECT_EQ(slot.choice_list(1).items.back(), "23:59:00");
    }
}

// Drops onto a slot that already holds a program with settings.
struct DropCase {
    const char* name;
    FileRules rules;
    std::vector<std::string> files;
    DropOutcome want;
    const char* path_after; // nullptr: the slot is unchanged
};

TEST(Slot, DropTakesProgramsAndShortcutsAndRejectsOtherFiles) {
    const DropCase cases[] = {
        {"windows program",
         FileRules::windows,
         {"D:\\Games\\game.exe"},
         DropOutcome::accepted,
         "D:\\Games\\game.exe"},
        {"windows upper case",
         FileRules::windows,
         {"D:\\Games\\GAME.EXE"},
         DropOutcome::accepted,
         "D:\\Games\\GAME.EXE"},
        {"windows shortcut",
         FileRules::windows,
         {"C:\\Users\\u\\Desktop\\App.lnk"},
         DropOutcome::accepted,
         "C:\\Program Files\\App\\app.exe"},
        {"windows shortcut to .EXE",
         FileRules::windows,
         {"C:\\s\\Big.LNK"},
         DropOutcome::accepted,
         "C:\\Big\\BIG.EXE"},
        {"windows shortcut to document",
         FileRules::windows,
         {"C:\\s\\doc.lnk"},
         DropOutcome::ignored,
         nullptr},
        {"windows broken shortcut",
         FileRules::windows,
         {"C:\\s\\broken.lnk"},
         DropOutcome::ignored,
         nullptr},
        {"windows text file",
         FileRules::windows,
         {"C:\\readme.txt"},
         DropOutcome::rejected,
         nullptr},
        {"three programs",
         FileRules::windows,
         {"C:\\1.exe", "C:\\2.exe", "C:\\3.exe"},
         DropOutcome::accepted,
         "C:\\1.exe"},
        {"text then program",
         FileRules::windows,
         {"C:\\a.txt", "C:\\2.exe"},
         DropOutcome::rejected,
         nullptr},
        {"posix program",
         FileRules::posix,
         {"/opt/game/game"},
         DropOutcome::accepted,
         "/opt/game/game"},
        {"posix script named .exe but not executable",
         FileRules::posix,
         {"/home/u/x.exe"},
         DropOutcome::rejected,
         nullptr},
        {"posix launcher",
         FileRules::posix,
         {"/home/u/Desktop/game.desktop"},
         DropOutcome::accepted,
         "/opt/game/game"},
        {"posix launcher of a document",
         FileRules::posix,
         {"/home/u/Desktop/notes.desktop"},
         DropOutcome::ignored,
         nullptr},
        {"posix unreadable launcher",
         FileRules::posix,
         {"/home/u/Desktop/gone.desktop"},
         DropOutcome::ignored,
         nullptr},
        {"posix folder", FileRules::posix, {"/opt/game"}, DropOutcome::rejected, nullptr},
        {"posix text file",
         FileRules::posix,
         {"/home/u/readme.txt"},
         DropOutcome::rejected,
         nullptr},
    };
    for (const DropCase& c : cases) {
        SlotRig rig(c.rules);
        rig.files.add_program("/opt/game/game");
        rig.files.add_folder("/opt/game");
        rig.files.add_document("/home/u/x.exe");
        rig.files.add_document("/home/u/readme.txt");
        rig.files.add_document("/home/u/notes.txt");
        rig.shortcuts.targets = {
            {"C:\\Users\\u\\Desktop\\App.lnk", "C:\\Program Files\\App\\app.exe"},
            {"C:\\s\\Big.LNK", "C:\\Big\\BIG.EXE"},
            {"C:\\s\\doc.lnk", "C:\\s\\doc.docx"},
            {"/home/u/Desktop/game.desktop", "/opt/game/game"},
            {"/home/u/Desktop/notes.desktop", "/home/u/notes.txt"}};
        ucf_fa2& slot = rig.master.second(1);
        const std::string before =
            "/old/prog[*]30[*]4[*]5[*]6[*]1*1[*]2*2[*][*]4*4[*]0[*]1[*]整点重启[*]06:00:00";
        slot.a_set_canshu(before);
        const std::string stored = slot.a_get_canshu();
        int changes = 0;
        slot.set_on_change([&] { ++changes; });

        EXPECT_EQ(slot.T_guajitxt_OLEDragDrop(c.files), c.want) << c.name;
        EXPECT_EQ(changes, 1) << c.name;
        if (c.path_after) {
            EXPECT_EQ(slot.a_get_canshu(),
                      std::string(c.path_after) +
                          "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]整点重启[*]06:00:00[*][*][*]")
                << c.name;
        } else {
            EXPECT_EQ(slot.a_get_canshu(), stored) << c.name;
        }
    }
}

TEST(Slot, EmptyDropDoesNothing) {
    SlotRig rig;
    int changes = 0;
    rig.master.first(1).set_on_change([&] { ++changes; });
    EXPECT_EQ(rig.master.first(1).T_guajitxt_OLEDragDrop({}), DropOutcome::no_file);
    EXPECT_EQ(changes, 0);
}

} // namespace
