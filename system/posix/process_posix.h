#pragma once
// The process scan behind system/process.h, open to its tests.
#include <string_view>
#include <vector>

#include "system/exe_alias.h"
#include "system/process_match.h"

namespace keeprun {

// Every process of this user that is not a zombie, with its executable and argv.
void list_processes(std::vector<ProcessRow>& table);
// How a process running `path` is recognised (aliases: the running check's rows,
// or none for closing).
ProgramMatch program_match(std::string_view path, const ExeAliasTable* aliases);
// Kills the process of a row the scan found, unless its id has passed to
// another process since (another executable, or another start time).
void kill_checked(const ProcessRow& row);

} // namespace keeprun
