#pragma once
// Does a running process run a slot's program? The rules as pure functions, in
// the two variants of the program-file rules: Windows (the head of the command
// line, upper case) and POSIX (the canonical executable, or a script's
// interpreter and script argument). The POSIX scan in system/posix/ applies them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/exe_alias.h"

namespace keeprun {

// ---- Windows ----

// One row of the process table: identifier, image name, executable path.
struct WinProcessRow {
    std::string pid;
    std::string name;
    std::string exe;
};

// A path names a program when it holds ".exe" in any letter case.
bool win_names_program(std::string_view path);
// The executable path of a command line: upper case, quotes removed, trimmed,
// cut after the first ".EXE"; nothing when it holds no ".EXE".
std::optional<std::string> win_exe_of_command_line(std::string_view command_line);
// The path without its "(X86)" part, each side trimmed; nothing without "(X86)".
std::optional<std::string> win_x86_twin(std::string_view upper_path);
// The upper-case path with its file name replaced by the first alias row for it.
std::string win_alias_path(std::string_view upper_path, const ExeAliasTable& aliases);
// Identifiers of the rows to terminate for the path: its own rows and those of
// its "(X86)" twin, never an identifier of 10 or less.
std::vector<long> win_pids_to_close(const std::vector<WinProcessRow>& table, std::string_view path);
// The command-line head of a process that runs the path, after alias mapping.
std::string win_running_exe(std::string_view path, const ExeAliasTable& aliases);
// Whether a row runs the path after alias mapping.
bool win_is_running(const std::vector<WinProcessRow>& table, std::string_view path,
                    const ExeAliasTable& aliases);

// The process a crash dialog holds, from the dialog process's image name and
// command line: Windows Error Reporting ("WerFault.exe -u -p 1234 -s 56") or
// Wine's debugger ("winedbg --auto 1234 56"). Nothing for any other process.
std::optional<long> crashed_pid_of(std::string_view image_name, std::string_view command_line);
bool is_crash_dialog(std::string_view image_name);

// ---- POSIX ----

// A process of the user as the scan sees it.
struct ProcessRow {
    long pid = 0;
    std::string name;              // the kernel's short name
    std::string exe;               // the executable's path, " (deleted)" removed
    std::vector<std::string> argv; // read only when the executable may match
    // When it began, in clock ticks after boot: a reused id has another; 0 unknown.
    unsigned long long start_time = 0;
};

// What the program of a slot looks like from outside.
struct ProgramMatch {
    enum Kind {
        none,       // nothing can match (no usable path)
        executable, // the process's executable is `path`
        script,     // `interpreter` runs `path`, given as argument `script_arg`
        alias,      // an executable in folder `path` named `name` in any letter case
    } kind = none;
    std::string path;
    std::string interpreter;
    std::size_t script_arg = 1;
    std::string name; // alias: upper case
};

// The first line of a "#!" script, read as the kernel does: the interpreter and
// how many words precede the script in the interpreter's argv.
struct Shebang {
    std::string interpreter; // as written
    std::string env_program; // the program "/usr/bin/env" runs, when it is env
    std::size_t script_arg = 1;
};
std::optional<Shebang> parse_shebang(std::string_view head);

// The executable link of a process, with the " (deleted)" of a replaced file removed.
std::string_view strip_deleted(std::string_view exe_link);
// The alias row for a file name (letter case ignored); nothing when it has none.
std::optional<std::string> alias_for(std::string_view file_name, const ExeAliasTable& aliases);

// True when the process's executable alone could make it match (the scan then
// reads its arguments and state).
bool executable_may_match(std::string_view exe, const ProgramMatch& match);
// Resolves a process's argument to a canonical path, as seen from the process's
// working folder; "" when it cannot.
using ArgResolver = std::function<std::string(const ProcessRow&, std::string_view)>;
bool process_matches(const ProcessRow& row, const ProgramMatch& match, const ArgResolver& resolve);

} // namespace keeprun
