#pragma once
// The running check of a slot's program without walking every process: the
// process found (or started) last time is pinned per slot path and asked first.
// Keep-alive and timed slots with the same path share the pin.
#include <map>
#include <string>

#include "system/process.h"

namespace keeprun {

class ProgramPins {
  public:
    // The answer of is_program_running, from the pin while it holds.
    bool is_running(const std::string& path, const ExeAliasTable& aliases);
    // Starts the program and pins what was started.
    void open(const std::string& path);
    // Ends every process running the program and the pinned one when keeprun
    // started it, and drops the pin. A process the running check found through
    // an alias row is not the program: closing uses no aliases.
    void close(const std::string& path);

  private:
    struct Pin {
        PinnedProcess process;
        bool started = false;
    };
    std::map<std::string, Pin> pins_;
};

} // namespace keeprun
