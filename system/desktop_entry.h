#pragma once
// The program a ".desktop" launcher starts: the first word of its Exec= line.
#include <optional>
#include <string>
#include <string_view>

#include "system/program_file.h"

namespace keeprun {

// The program word of the "[Desktop Entry]" group's Exec= value, with the
// launcher's quoting and escapes undone and its field codes (%f, %U, ...)
// dropped, past an "env" with its options and assignments; nothing when there
// is no such line, it names no program, or it names a shell, an interpreter or
// a wrapper (sh -c, bash, flatpak run, snap...) that runs another program.
std::optional<std::string> desktop_exec_program(std::string_view file_text);

// A program name without "/" looked up in the folders of `path_list` (the PATH
// variable's form): the first executable file found; a name with "/" as it is.
std::optional<std::string> resolve_program(std::string_view program, std::string_view path_list,
                                           const FileStatus& files);

// resolve_program against $PATH.
std::optional<std::string> find_program(std::string_view program, const FileStatus& files);

// Reads the launcher file and resolves its program against $PATH; nothing when
// the file cannot be read or its program cannot be found.
std::optional<std::string> desktop_entry_program(std::string_view launcher_path,
                                                 const FileStatus& files);

} // namespace keeprun
