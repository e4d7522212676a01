// One session driven without a window: loaded from a data folder, ticked
// through a start with its clicks and a timed close, and saved.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"
#include "system/settings_file.h"
#include "tests/system/temp_dir.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

const std::string kData = KEEPRUN_TEST_DATA "/session/";

class StandIn : public SettingsView {
  public:
    explicit StandIn(MasterSwitch& m) : m_(m) {}
    int option() const override { return option_; }
    void set_option(int v) override { option_ = v; }
    std::string slot_param_string(int kind, int n) const override {
        return kind == 1 ? m_.first(n).to_param_string() : m_.second(n).to_param_string();
    }
    void set_slot_param_string(int kind, int n, const std::string& s) override {
        if (kind == 1)
            m_.first(n).apply_param_string(s);
        else
            m_.second(n).apply_param_string(s);
    }
    std::vector<std::string> record_lines() const override { return lines_; }
    void add_record_line(const std::string& line) override {
        if (lines_.size() >= 1000) lines_.erase(lines_.begin());
        lines_.push_back(line);
    }
    MasterSwitch& m_;
    int option_ = 0;
    std::vector<std::string> lines_;
};

TEST(Session, LoadsTicksAndSavesByteForByte) {
    TempDir dir;
    std::filesystem::copy_file(kData + "input-data.ini", dir.file("data.ini"));
    std::filesystem::copy_file(kData + "input-jilu.txt", dir.file("jilu.txt"));
    Rig rig(LocalTime{2026, 12, 8, 20, 0, 40});
    for (const char* p : {"/opt/app/keep", "/opt/app/timed", "/opt/app/timed2"})
        rig.files.add_program(p);
    rig.world.running.insert("/opt/app/timed");
    StandIn view(rig.master);
    load_settings(dir.folder(), view);
    load_slots(dir.folder(), view);
    rig.run_for_seconds(60);
    for (const std::string& l : rig.world.lines)
        view.add_record_line(l);
    rig.master.first(3).set_position(1, "7*8");
    ASSERT_TRUE(save_settings(dir.folder(), view));
    EXPECT_EQ(slurp(dir.file("data.ini")), slurp(kData + "saved-data.ini"));
    EXPECT_EQ(slurp(dir.file("jilu.txt")), slurp(kData + "saved-jilu.txt"));
}

} // namespace
