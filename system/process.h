#pragma once
// Starting, closing and finding the program of a slot. Only processes of the
// user running keeprun are ever seen, matched or terminated.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "system/exe_alias.h"
#include "system/start_settings.h"

namespace keeprun {

// 1 when a process runs the program at `path` (after the alias rows), else 0.
int is_program_running(std::string_view path, const ExeAliasTable& aliases);
// Terminates every process running the program at `path`; process ids of 10 or
// less are never touched. Returns once the kills are sent, not awaited.
void close_program(std::string_view path);
// Starts the program detached from keeprun; true when it was executed.
bool open_program(std::string_view path, const StartSettings& how = {});
// Starts args[0] (a file path, not looked up in PATH) with `args` as its argv,
// detached the same way; true when it was executed.
bool start_detached(const std::vector<std::string>& args);
// Hands an address to the user's browser and does not wait for it; true when
// it was handed over.
bool open_web_page(std::string_view url);

// A hold on one process that was found running a program or was started for
// it, made by the backend. While held, the process's id cannot be mistaken for
// another process that gets the same id later.
class ProcessPin;
struct ProcessPinRelease {
    void operator()(ProcessPin* pin) const noexcept;
};
using PinnedProcess = std::unique_ptr<ProcessPin, ProcessPinRelease>;

// open_program, and a pin on the process it started; null when nothing was executed.
// It may wait for the user (an elevation prompt): never call it from the window's thread.
PinnedProcess open_pinned(std::string_view path, const StartSettings& how = {});
// A pin on a process running the program at `path`, as is_program_running
// finds it; null when none runs.
PinnedProcess find_pinned(std::string_view path, const ExeAliasTable& aliases);
// Whether the pinned process still counts as its program: it lives and, unless
// keeprun started it, still runs the executable it was found running. False
// also when the system cannot pin at all, so the caller looks again.
bool pin_holds(const ProcessPin& pin);
// Kills the pinned process while it holds (never an id of 10 or less).
void kill_pinned(const ProcessPin& pin);
// The pinned process's id.
long pinned_pid(const ProcessPin& pin);
// Whether process `pid` crashed and a crash dialog holds it alive; if so, ends
// the dialog (the caller ends the process). On POSIX systems a crashed process
// is gone at once and no dialog ever holds it.
bool end_crash_dialog_of(long pid);

} // namespace keeprun
