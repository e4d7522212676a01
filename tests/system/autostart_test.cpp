// The login autostart entry: where it goes, how its Exec line quotes the
// program, and that turning it off removes it.
#include <cstdlib>
#include <gtest/gtest.h>

#include "system/autostart.h"
#include "system/desktop_entry.h"
#include "tests/support/temp_dir.h"

namespace keeprun::testing {
namespace {

std::string exec_program(const std::string& entry_text) {
    const auto launch = desktop_launch(entry_text);
    return launch ? launch->program : "";
}

// The Exec= line of the entry.
std::string exec_line(const std::string& entry) {
    const auto at = entry.find("\nExec=");
    if (at == std::string::npos) return "";
    return entry.substr(at + 6, entry.find('\n', at + 1) - at - 6);
}

class Autostart : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
    std::string entry() const { return config.file("autostart/keeprun.desktop"); }
    TempDir home;
    TempDir config;
};

TEST_F(Autostart, OnWritesTheEntryAndOffRemovesIt) {
    EXPECT_FALSE(autostart_enabled());
    ASSERT_EQ(set_autostart(true, "/opt/keeprun/bin/keeprun"), "");
    EXPECT_TRUE(autostart_enabled());
    const std::string text = slurp(entry());
    EXPECT_EQ(exec_program(text), "/opt/keeprun/bin/keeprun");
    EXPECT_NE(text.find("Type=Application\n"), std::string::npos);

    ASSERT_EQ(set_autostart(true, "/usr/bin/keeprun"), "") << "a second write replaces the first";
    EXPECT_EQ(exec_program(slurp(entry())), "/usr/bin/keeprun");
    ASSERT_EQ(set_autostart(false, ""), "");
    EXPECT_FALSE(autostart_enabled());
    EXPECT_EQ(set_autostart(false, ""), "") << "off when already off";
}

TEST_F(Autostart, WithoutXdgConfigHomeTheEntryGoesUnderHome) {
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(set_autostart(true, "/usr/bin/keeprun"), "");
    EXPECT_EQ(exec_program(slurp(home.file(".config/autostart/keeprun.desktop"))),
              "/usr/bin/keeprun");
    EXPECT_TRUE(autostart_enabled());
}

TEST_F(Autostart, ExecQuotesTheProgramAsLaunchersRequire) {
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/usr/bin/keeprun", "/usr/bin/keeprun"},
        {"/opt/程序 守护/keeprun", "\"/opt/程序 守护/keeprun\""},
        {"/opt/100%/keeprun", "/opt/100%%/keeprun"},
        {"/opt/it's/keeprun", "\"/opt/it's/keeprun\""},
        {"/opt/a\"b$c`d/keeprun", "\"/opt/a\\\\\"b\\\\$c\\\\`d/keeprun\""},
        {"/opt/back\\slash/keeprun", "\"/opt/back\\\\\\\\slash/keeprun\""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(set_autostart(true, c.program), "") << c.program;
        EXPECT_EQ(exec_line(slurp(entry())), c.exec) << c.program;
        EXPECT_EQ(exec_program(slurp(entry())), c.program) << "read back";
    }
}

TEST_F(Autostart, AnUnwritableFolderIsReported) {
    spit(config.file("autostart"), "a file where the folder belongs");
    EXPECT_NE(set_autostart(true, "/usr/bin/keeprun"), "");
    EXPECT_FALSE(autostart_enabled());
}

} // namespace
} // namespace keeprun::testing
