#pragma once
// The whole program: the session and its ports, the splash and the main window,
// and the start-up sequence that joins them.
#include <QTimer>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/notice_relay.h"
#include "app/session_saver.h"
#include "app/show_requests.h"
#include "app/splash_window.h"
#include "app/system_ports.h"
#include "app/tray.h"
#include "schedule/session.h"

namespace keeprun {

class Program {
  public:
    // `at_login`: started by the login entry, so start-up waits for the network.
    explicit Program(bool at_login);
    // Shows the splash; its timer then runs the start-up once.
    void start();

  private:
    void startup_sequence();
    void guard_single_instance();
    void load_server_config();
    void load_slots();
    void open_notify_settings();

    bool at_login_;
    ProgramPorts program_ports_;
    Session session_;
    SessionSaver session_saver_{session_};
    NoticeRelay notice_relay_{session_};
    MainWindow main_window_;
    SplashWindow splash_;
    std::unique_ptr<Tray> tray_;
    ShowRequests show_requests_;
    std::string server_news_;
    // Every 500 ms: one step of the session.
    QTimer tick_timer_;
    // Loads the slots' settings just after the window is shown.
    QTimer slot_load_timer_;
};

} // namespace keeprun
