#include <gtest/gtest.h>

#include <tuple>

#include "system/process_match.h"

namespace keeprun {
namespace {

TEST(WindowsRules, ExecutablePathOfACommandLine) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\" --tray", "C:\\PROGRAM FILES\\APP\\APP.EXE"},
        {"  C:\\APP\\TOOL.EXE  ", "C:\\APP\\TOOL.EXE"},
        {"c:\\a.exe.bak\\b.exe", "C:\\A.EXE"},
        {"C:\\Windows\\system32\\svchost -k", std::nullopt},
        {"", std::nullopt},
        {"app.exe", "APP.EXE"},
        {"C:\\PROGRA~1\\App\\app.exe", "C:\\PROGRA~1\\APP\\APP.EXE"},
    };
    for (const auto& [line, want] : cases)
        EXPECT_EQ(win_exe_of_command_line(line), want) << line;
}

std::vector<WinProcessRow>
table_of(std::initializer_list<std::pair<const char*, const char*>> rows) {
    std::vector<WinProcessRow> table;
    for (const auto& [pid, command_line] : rows)
        if (auto exe = win_exe_of_command_line(command_line)) table.push_back({pid, "", *exe});
    return table;
}

TEST(WindowsRules, RunningCheckIgnoresCaseQuotesAndArguments) {
    const auto table = table_of({
        {"100", "\"C:\\Program Files\\App\\app.exe\" -x"},
        {"101", "notepad.exe"},
        {"102", "C:\\PROGRA~1\\Tool\\tool.exe"},
        {"103", "C:\\Program Files\\Old\\old.exe"},
    });
    const struct {
        const char* path;
        bool want;
    } cases[] = {
        {"C:\\Program Files\\App\\App.exe", true},
        {"C:\\PROGRAM FILES\\APP\\APP.EXE", true},
        {"C:\\Windows\\notepad.exe", false},              // started by its bare name
        {"C:\\Program Files\\Tool\\tool.exe", false},     // started through a short path
        {"C:\\Program Files (x86)\\Old\\old.exe", false}, // no (x86) twin when checking
        {"C:\\Program Files\\Other\\app.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win_is_running(table, c.path, {}), c.want) << c.path;
}

TEST(WindowsRules, AliasRowsApplyOnlyToTheRunningCheck) {
    const ExeAliasTable aliases = {{"OTHER.EXE", "X.EXE"}, {"LAUNCHER.EXE", "GAME.EXE"}};
    EXPECT_EQ(win_alias_path("D:\\GAMES\\LAUNCHER.EXE", aliases), "D:\\GAMES\\GAME.EXE");
    EXPECT_EQ(win_alias_path("D:\\GAMES\\GAME.EXE", aliases), "D:\\GAMES\\GAME.EXE");
    const auto launcher = table_of({{"200", "D:\\Games\\launcher.exe"}});
    const auto game = table_of({{"300", "\"D:\\Games\\Game.exe\""}});
    EXPECT_FALSE(win_is_running(launcher, "D:\\Games\\launcher.exe", aliases));
    EXPECT_TRUE(win_is_running(game, "D:\\Games\\launcher.exe", aliases));
    EXPECT_FALSE(win_is_running(game, "E:\\Games\\launcher.exe", aliases));
    EXPECT_EQ(win_pids_to_close(game, "D:\\Games\\launcher.exe"), std::vector<long>{});
    EXPECT_EQ(win_pids_to_close(launcher, "D:\\Games\\launcher.exe"), std::vector<long>{200});
}

TEST(WindowsRules, ClosingTakesEveryInstanceAndTheX86Twin) {
    EXPECT_EQ(win_x86_twin("C:\\PROGRAM FILES (X86)\\TOOL\\A.EXE"),
              "C:\\PROGRAM FILES\\TOOL\\A.EXE");
    EXPECT_EQ(win_x86_twin("C:\\PROGRAM FILES\\TOOL\\A.EXE"), std::nullopt);
    EXPECT_EQ(win_x86_twin("C:\\A (X86) \\B(X86)\\C.EXE"), "C:\\A\\B");
    const auto table = table_of({
        {"1", "C:\\Tool\\a.exe"},
        {"10", "C:\\Tool\\a.exe"},
        {"11", "C:\\Tool\\a.exe"},
        {"4000", "\"c:\\tool\\A.EXE\" /min"},
        {"4001", "C:\\Tool\\b.exe"},
        {"5000", "C:\\Program Files\\Tool\\a.exe"},
        {"5001", "C:\\Program Files (x86)\\Tool\\a.exe"},
    });
    EXPECT_EQ(win_pids_to_close(table, "C:\\TOOL\\A.EXE"), (std::vector<long>{11, 4000}));
    EXPECT_EQ(win_pids_to_close(table, "c:\\tool\\a.exe"), (std::vector<long>{11, 4000}));
    EXPECT_EQ(win_pids_to_close(table, "C:\\Program Files (x86)\\Tool\\a.exe"),
              (std::vector<long>{5000, 5001}));
    EXPECT_EQ(win_pids_to_close(table, "C:\\Tool\\a"), std::vector<long>{});
    EXPECT_FALSE(win_names_program("/usr/bin/tool"));
    EXPECT_TRUE(win_names_program("C:\\T.Exe"));
}

TEST(WindowsRules, ACrashDialogNamesTheProcessItHolds) {
    const std::tuple<const char*, const char*, std::optional<long>> cases[] = {
        {"WerFault.exe", "C:\\Windows\\system32\\WerFault.exe -u -p 1234 -s 568", 1234},
        {"WERFAULTSECURE.EXE", "WerFaultSecure.exe -u -p 77 -s 1", 77},
        {"winedbg.exe", "winedbg --auto 56 120", 56},
        {"C:\\windows\\system32\\winedbg.exe", "\"winedbg\" --auto 9", 9},
        {"game.exe", "game.exe -p 1234", std::nullopt},
        {"WerFault.exe", "WerFault.exe -u -s 568", std::nullopt},
        {"WerFault.exe", "WerFault.exe -p x12", std::nullopt},
        {"winedbg.exe", "winedbg --auto", std::nullopt},
    };
    for (const auto& [name, line, want] : cases)
        EXPECT_EQ(crashed_pid_of(name, line), want) << name << " " << line;
}

TEST(PosixRules, ShebangLines) {
    const struct {
        const char* head;
        std::optional<Shebang> want;
    } cases[] = {
        {"#!/bin/sh\necho", Shebang{"/bin/sh", "", 1}},
        {"#! /bin/bash -e \n", Shebang{"/bin/bash", "", 2}},
        {"#!/bin/sh -e -u\n", Shebang{"/bin/sh", "", 2}},
        {"#!/usr/bin/env python3\n", Shebang{"/usr/bin/env", "python3", 1}},
        {"#!/usr/bin/env -S python3 -u\n", Shebang{"/usr/bin/env", "python3", 2}},
        {"#!/usr/bin/env -i python3\n", std::nullopt},
        {"#!/usr/bin/env\n", std::nullopt},
        {"#!\n", std::nullopt},
        {"\x7F"
         "ELF",
         std::nullopt},
        {"#!/bin/sh", Shebang{"/bin/sh", "", 1}},
    };
    for (const auto& c : cases) {
        const auto got = parse_shebang(c.head);
        ASSERT_EQ(got.has_value(), c.want.has_value()) << c.head;
        if (!got) continue;
        EXPECT_EQ(got->interpreter, c.want->interpreter) << c.head;
        EXPECT_EQ(got->env_program, c.want->env_program) << c.head;
        EXPECT_EQ(got->script_arg, c.want->script_arg) << c.head;
    }
}

TEST(PosixRules, WhichProcessesRunTheProgram) {
    const ProgramMatch exe{ProgramMatch::executable, "/opt/app/run", "", 1, ""};
    const ProgramMatch script{ProgramMatch::script, "/home/u/job.sh", "/usr/bin/dash", 1, ""};
    const ProgramMatch script2{ProgramMatch::script, "/home/u/job.sh", "/usr/bin/dash", 2, ""};
    const ProgramMatch alias{ProgramMatch::alias, "/opt/game", "", 1, "GAME.BIN"};
    // Arguments resolve against a fake working folder.
    const ArgResolver resolve = [](const ProcessRow& row, std::string_view arg) {
        if (arg == "missing") return std::string();
        return arg.front() == '/' ? std::string(arg) : row.name + "/" + std::string(arg);
    };
    const struct {
        const char* name;
        ProcessRow row;
        const ProgramMatch& match;
        bool want;
    } cases[] = {
        {"same executable", {1, "", "/opt/app/run", {"x"}}, exe, true},
        {"other executable", {1, "", "/opt/app/runner", {}}, exe, false},
        {"letter case counts", {1, "", "/opt/app/RUN", {}}, exe, false},
        {"interpreter with the script",
         {1, "", "/usr/bin/dash", {"sh", "/home/u/job.sh"}},
         script,
         true},
        {"relative script in its folder",
         {1, "/home/u", "/usr/bin/dash", {"sh", "job.sh"}},
         script,
         true},
        {"relative script elsewhere",
         {1, "/tmp", "/usr/bin/dash", {"sh", "job.sh"}},
         script,
         false},
        {"editor holding the script",
         {1, "", "/usr/bin/vi", {"vi", "/home/u/job.sh"}},
         script,
         false},
        {"interpreter without arguments", {1, "", "/usr/bin/dash", {"sh"}}, script, false},
        {"unresolvable argument", {1, "", "/usr/bin/dash", {"sh", "missing"}}, script, false},
        {"option before the script",
         {1, "", "/usr/bin/dash", {"sh", "-e", "/home/u/job.sh"}},
         script2,
         true},
        {"option line but script first",
         {1, "", "/usr/bin/dash", {"sh", "/home/u/job.sh"}},
         script2,
         false},
        {"alias in any case", {1, "", "/opt/game/Game.bin", {}}, alias, true},
        {"alias in another folder", {1, "", "/opt/other/game.bin", {}}, alias, false},
        {"alias in a subfolder", {1, "", "/opt/game/x/game.bin", {}}, alias, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(process_matches(c.row, c.match, resolve), c.want) << c.name;
    EXPECT_FALSE(process_matches({1, "", "", {}}, ProgramMatch{}, resolve));
}

} // namespace
} // namespace keeprun
