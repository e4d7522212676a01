#pragma once
// The whole program: the engine and its ports, the splash and the main window,
// and the start-up sequence that joins them.
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/show_requests.h"
#include "app/splash_window.h"
#include "app/system_ports.h"
#include "app/tray.h"
#include "schedule/master_switch.h"

namespace keeprun {

class Program {
  public:
    Program();
    // Shows the splash; its timer then runs the start-up once.
    void start();

  private:
    void startup_sequence();
    void guard_single_instance();
    void set_slot_tips();
    void load_server_config();
    void flash_help_buttons();

    ProgramPorts program_ports_;
    Ports ports_;
    MasterSwitch engine_;
    MainWindow main_window_;
    SplashWindow splash_;
    std::unique_ptr<Tray> tray_;
    ShowRequests show_requests_;
    std::string server_news_;
};

} // namespace keeprun
