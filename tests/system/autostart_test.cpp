// The login autostart entry: where it goes, how its Exec line quotes the
// program, and that turning it off removes it.
#include <cstdlib>
#include <gtest/gtest.h>

#include "system/autostart.h"
#include "system/desktop_entry.h"
#include "tests/support/temp_dir.h"

namespace keeprun::testing {
namespace {

// The program of the entry's Exec= line and its one argument, the login option.
std::string exec_program(const std::string& entry_text) {
    const auto launch = desktop_launch(entry_text);
    if (!launch || launch->arguments != std::vector<std::string>{kLoginOption}) return "";
    return launch->program;
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
        EXPECT_EQ(exec_line(slurp(entry())), c.exec + std::string(" --login")) << c.program;
        EXPECT_EQ(exec_program(slurp(entry())), c.program) << "read back";
    }
}

TEST_F(Autostart, AnOlderEntryForThisProgramAloneGetsTheLoginOption) {
    const std::string program = "/opt/程序 守护/keeprun";
    const std::string older = "[Desktop Entry]\nType=Application\nName=keeprun\n"
                              "Exec=\"/opt/程序 守护/keeprun\"\nX-GNOME-Autostart-enabled=false\n";
    const std::string updated = "[Desktop Entry]\nType=Application\nName=keeprun\n"
                                "Exec=\"/opt/程序 守护/keeprun\" --login\n"
                                "X-GNOME-Autostart-enabled=false\n";
    const std::string others[] = {
        "[Desktop Entry]\nExec=/usr/bin/keeprun\n",                       // another install
        "[Desktop Entry]\nExec=\"/opt/程序 守护/keeprun\" --minimised\n", // edited by hand
        updated,
    };
    spit(entry(), older);
    update_autostart_entry(program);
    EXPECT_EQ(slurp(entry()), updated) << "only the Exec line changes";
    for (const std::string& other : others) {
        spit(entry(), other);
        update_autostart_entry(program);
        EXPECT_EQ(slurp(entry()), other);
    }
    std::filesystem::remove(entry());
    update_autostart_entry(program);
    EXPECT_FALSE(autostart_enabled()) << "no entry is made";
}

TEST_F(Autostart, AnUnwritableFolderIsReported) {
    spit(config.file("autostart"), "a file where the folder belongs");
    EXPECT_NE(set_autostart(true, "/usr/bin/keeprun"), "");
    EXPECT_FALSE(autostart_enabled());
}

} // namespace
} // namespace keeprun::testing
