#pragma once
// The running check of a slot's program without walking every process: the
// process found (or started) last time is pinned per slot path and asked first.
// Keep-alive and timed slots with the same path share the pin.
#include <future>
#include <map>
#include <optional>
#include <string>

#include "system/process.h"

namespace keeprun {

class ProgramPins {
  public:
    // The answer of is_program_running, from the pin while it holds.
    bool is_running(const std::string& path, const ExeAliasTable& aliases);
    // Starts the program on a thread of its own and pins what was started; while
    // a start for the path is under way (an elevation prompt may hold it), asks
    // about that start instead: pending until it has ended.
    StartOutcome open(const std::string& path, const StartSettings& how);
    // Ends every process running the program and the pinned one when keeprun
    // started it, and drops the pin. A process the running check found through
    // an alias row is not the program: closing uses no aliases.
    void close(const std::string& path);
    // Ends the pinned process alone (a program that hangs) and drops the pin.
    void end_pinned(const std::string& path);
    // The pinned process's id while the pin holds.
    std::optional<long> pinned_pid(const std::string& path) const;

  private:
    struct Pin {
        PinnedProcess process;
        bool started = false;
    };
    std::map<std::string, Pin> pins_;
    std::map<std::string, std::future<PinnedProcess>> starts_;
};

} // namespace keeprun
