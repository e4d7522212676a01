#pragma once
// The engine's ports to the machine that the program fills: its processes, the
// windows of the programs it keeps, and the mouse.
#include "schedule/ports.h"
#include "system/program_pins.h"

namespace keeprun {

class ProgramPorts : public ProcessControl, public WindowPing, public Clicker {
  public:
    bool is_running(const std::string& path, const ExeAliasTable& aliases) override;
    StartOutcome open(const std::string& path, const StartSettings& how) override;
    void close(const std::string& path) override;
    void end_pinned(const std::string& path) override;
    bool end_if_crashed(const std::string& path) override;
    PingReply reply(const std::string& path) override;
    void ping(const std::string& path) override;
    bool desktop_takes_input() override;
    bool click(const std::string& position) override;

  private:
    ProgramPins pins_;
};

} // namespace keeprun
