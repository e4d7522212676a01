#pragma once
// What a ".desktop" launcher starts: the first word of its Exec= line, the
// words after it and its Path= folder.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/program_file.h"
#include "system/shortcut.h"

namespace keeprun {

struct DesktopLaunch {
    std::string program;
    std::vector<std::string> arguments;
    std::string folder; // Path=, "" when the launcher has none
};

// The program word of the "[Desktop Entry]" group's Exec= value and the words
// after it, with the launcher's quoting and escapes undone and its field codes
// (%f, %U, ...) dropped, past an "env" with its options and assignments;
// nothing when there is no such line, it names no program, or it names a
// shell, an interpreter or a wrapper (sh -c, bash, flatpak run, snap...) that
// runs another program.
std::optional<DesktopLaunch> desktop_launch(std::string_view file_text);

// A program name without "/" looked up in the folders of `path_list` (the PATH
// variable's form): the first executable file found; a name with "/" as it is.
std::optional<std::string> resolve_program(std::string_view program, std::string_view path_list,
                                           const FileStatus& files);

// resolve_program against $PATH.
std::optional<std::string> find_program(std::string_view program, const FileStatus& files);

// Reads the launcher file and resolves its program against $PATH; nothing when
// the file cannot be read or its program cannot be found.
std::optional<Shortcut> desktop_entry_shortcut(std::string_view launcher_path,
                                               const FileStatus& files);

} // namespace keeprun
