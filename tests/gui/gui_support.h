#pragma once
// What the widget tests share: an engine on the real clock and file system with
// quiet processes and mouse, a scratch folder, and a catcher of standard boxes.
#include <QMessageBox>
#include <filesystem>
#include <string>
#include <vector>

#include "schedule/local_ports.h"
#include "schedule/session.h"
#include "tests/support/temp_dir.h"

namespace keeprun::testing {

namespace fs = std::filesystem;

// Records what the engine asks of the machine; starts and clicks nothing.
class QuietWorld final : public ProcessControl, public WindowPing, public Clicker {
  public:
    bool is_running(const std::string&, const ExeAliasTable& table) override {
        aliases = table;
        return true;
    }
    StartOutcome open(const std::string& path, const StartSettings&) override {
        opened.push_back(path);
        return StartOutcome::started;
    }
    void close(const std::string&) override {}
    void end_pinned(const std::string&) override {}
    bool end_if_crashed(const std::string&) override { return false; }
    PingReply reply(const std::string&) override { return PingReply::answered; }
    void ping(const std::string&) override {}
    bool desktop_takes_input() override { return true; }
    bool click(const std::string&) override { return true; }
    std::vector<std::string> opened;
    ExeAliasTable aliases; // as the last running check was given them
};

struct Engine {
    Engine() {
        for (int k = 1; k <= 4; ++k) {
            master.first(k).setup(k, "拖入此方框");
            master.second(k).setup(k + 4, "设置时间后生效");
        }
        master.master_init();
    }
    QuietWorld world;
    Session session{
        {local_clock(), local_file_status(), world, world, world, desktop_shortcut_reader()}};
    MasterSwitch& master = session.master_switch();
};

struct ShownBox {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

// Runs `action`, then lets every posted event run; a modal standard box that
// opens meanwhile is recorded and dismissed (as Escape or the close box would).
ShownBox catch_message_box(const std::function<void()>& action);

} // namespace keeprun::testing
