#pragma once
// Starting, closing and finding the program of a slot. Only processes of the
// user running keeprun are ever seen, matched or terminated.
#include <string>
#include <string_view>
#include <vector>

#include "system/exe_alias.h"
#include "system/process_match.h"

namespace keeprun {

#ifdef _WIN32
// Every process that can be opened: its id, image name and command-line head.
void list_processes(std::vector<WinProcessRow>& table);
#else
// Every process of this user that is not a zombie, with its executable and argv.
void list_processes(std::vector<ProcessRow>& table);
#endif

// 1 when a process runs the program at `path` (after the alias rows), else 0.
int is_program_running(std::string_view path, const ExeAliasTable& aliases);
// Terminates every process running the program at `path`; process ids of 10 or
// less are never touched. Returns once the kills are sent, not awaited.
void close_program(std::string_view path);
// Starts the program detached from keeprun, in keeprun's current folder, with
// no arguments; true when it was executed.
bool open_program(std::string_view path);
// Starts args[0] (a file path, not looked up in PATH) with `args` as its argv,
// detached the same way; true when it was executed.
bool start_detached(const std::vector<std::string>& args);

#ifndef _WIN32
// How a process running `path` is recognised (aliases: the running check's rows,
// or none for closing).
ProgramMatch program_match(std::string_view path, const ExeAliasTable* aliases);
#endif

} // namespace keeprun
