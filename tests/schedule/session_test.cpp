// One session driven without a window: loaded from a data folder, ticked
// through a start with its clicks and a timed close, and saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "fakes.h"
#include "tests/support/temp_dir.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

const std::string kData = KEEPRUN_TEST_DATA "/session/";

// Everything a listener hears, in order.
struct Heard final : SessionListener {
    void slot_changed(int n) override { slots.push_back(n); }
    void slot_event(const SlotEvent& e) override {
        programs.emplace_back(e.kind, e.slot_number, e.path);
    }
    void option_changed(int value) override { options.push_back(value); }
    std::vector<int> slots;
    std::vector<std::tuple<SlotEventKind, int, std::string>> programs;
    std::vector<int> options;
};

TEST(Session, LoadsTicksAndSavesByteForByte) {
    TempDir dir;
    std::filesystem::copy_file(kData + "input-data.ini", dir.file("data.ini"));
    std::filesystem::copy_file(kData + "input-jilu.txt", dir.file("jilu.txt"));
    Rig rig(LocalTime{2026, 12, 8, 20, 0, 40});
    for (const char* p : {"/opt/app/keep", "/opt/app/timed", "/opt/app/timed2"})
        rig.files.add_program(p);
    rig.world.running.insert("/opt/app/timed");
    Heard heard;
    rig.session.add_listener(heard);
    rig.session.set_data_folder(dir.folder());
    rig.session.load_settings();
    rig.session.load_slots();
    EXPECT_EQ(heard.options, std::vector<int>{1});
    EXPECT_EQ(rig.session.record().size(), 3u);

    rig.session.set_program_aliases({{"KEEP", "KEEP-X"}});
    rig.run_for_seconds(60);
    EXPECT_EQ(rig.world.aliases, (ExeAliasTable{{"KEEP", "KEEP-X"}}));
    EXPECT_EQ(heard.programs, (std::vector<std::tuple<SlotEventKind, int, std::string>>{
                                  {SlotEventKind::opened, 1, "/opt/app/keep"},
                                  {SlotEventKind::closed, 5, "/opt/app/timed"}}));
    EXPECT_EQ(rig.world.of("click").size(), 2u);
    heard.slots.clear();
    rig.session.slot(3).set_position(1, "7*8");
    EXPECT_EQ(heard.slots, std::vector<int>{3});

    ASSERT_TRUE(rig.session.save());
    EXPECT_EQ(slurp(dir.file("data.ini")), slurp(kData + "saved-data.ini"));
    EXPECT_EQ(slurp(dir.file("jilu.txt")), slurp(kData + "saved-jilu.txt"));
}

TEST(Session, RecordKeepsTheNewestThousandTrimmedLines) {
    Rig rig;
    for (int i = 0; i < 1005; ++i)
        rig.session.add_record_line(" line " + std::to_string(i) + " ");
    ASSERT_EQ(rig.session.record().size(), 1000u);
    EXPECT_EQ(rig.session.record().front(), "line 5");
    EXPECT_EQ(rig.session.record().back(), "line 1004");
}

TEST(Session, NeverSavesOverStoredFilesItCouldNotRead) {
    struct Case {
        const char* what;
        const char* unreadable; // made a folder, which exists but cannot be read
        const char* folder_error;
    };
    for (const Case c :
         {Case{"data.ini unreadable", "data.ini", ""}, Case{"jilu.txt unreadable", "jilu.txt", ""},
          Case{"folder refused", "", "zx: owned by another user"}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::filesystem::copy_file(kData + "input-data.ini", dir.file("data.ini"));
        std::filesystem::copy_file(kData + "input-jilu.txt", dir.file("jilu.txt"));
        if (*c.unreadable) {
            std::filesystem::remove(dir.file(c.unreadable));
            std::filesystem::create_directory(dir.file(c.unreadable));
        }
        Rig rig;
        rig.session.set_data_folder(dir.folder(), c.folder_error);
        rig.session.load_settings();
        rig.session.load_slots();
        EXPECT_NE(rig.session.unusable(), "");
        EXPECT_EQ(rig.session.slot(1).to_param_string(), Rig().session.slot(1).to_param_string());
        EXPECT_TRUE(rig.session.record().empty());
        rig.session.add_record_line("12:00:00 打开程序1");
        EXPECT_FALSE(rig.session.save());
        EXPECT_EQ(slurp(dir.file("data.ini")),
                  *c.unreadable == 'd' ? "" : slurp(kData + "input-data.ini"));
        EXPECT_EQ(slurp(dir.file("jilu.txt")),
                  *c.unreadable == 'j' ? "" : slurp(kData + "input-jilu.txt"));
    }
}

} // namespace
