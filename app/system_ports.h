#pragma once
// The engine's ports to the machine that the program fills: its processes and mouse.
#include "schedule/ports.h"
#include "system/program_pins.h"

namespace keeprun {

class ProgramPorts : public ProcessControl, public Clicker {
  public:
    bool is_running(const std::string& path, const ExeAliasTable& aliases) override;
    StartOutcome open(const std::string& path, const StartSettings& how) override;
    void close(const std::string& path) override;
    void click(const std::string& position) override;

  private:
    ProgramPins pins_;
};

} // namespace keeprun
