#pragma once
// The engine's ports that the program fills: the machine's processes and mouse,
// and the main window's record list and message box.
#include "schedule/ports.h"
#include "system/program_pins.h"

namespace keeprun {

class MainWindow;

// The main window is made after the engine, so it is set afterwards.
class ProgramPorts : public ProcessControl,
                     public Clicker,
                     public RecordSink,
                     public MessageBoxFlag {
  public:
    MainWindow* window = nullptr;

    bool is_running(const std::string& path) override;
    void open(const std::string& path) override;
    void close(const std::string& path) override;
    void click(const std::string& position) override;
    void append(const std::string& line) override;
    bool is_open() const override;

  private:
    ProgramPins pins_;
};

} // namespace keeprun
