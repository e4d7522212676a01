#pragma once
// One end-to-end run: its own X server, XDG folders, stand-in browser, mirror
// and keeprun, all removed or ended when the session ends.
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "x_display.h"

namespace keeprun::e2e {

// A configuration text with every section, this title, announcement and exit link.
std::string server_text(const std::string& title, const std::string& news,
                        const std::string& exit_link = "");

// Where the announcement's confirm button sits in the main window (at 0,0).
inline constexpr int kAnnouncementButtonX = 934;
inline constexpr int kAnnouncementButtonY = 248;
// A point of the message box's green panel, there only while a message is open.
inline constexpr int kMessagePanelX = 713;
inline constexpr int kMessagePanelY = 250;
inline constexpr const char* kMessagePanelColour = "C0FFC0";

class Session {
  public:
    Session();
    ~Session();

    const fs::path& root() const { return dir_.path(); }
    const std::string& display() const { return xvfb_->display(); }
    // Ends the X server under everything shown on it.
    void end_display() {
        x_.reset();
        xvfb_.reset();
    }
    XDisplay& x() { return *x_; }
    Env keeprun_env() const;
    // Replaces one variable of keeprun's environment for the next starts.
    void set_env(const std::string& name, const std::string& value) {
        env_overrides_[name] = value;
    }
    fs::path data_folder() const { return root() / "data" / "keeprun" / "zx"; }
    fs::path config_folder() const { return root() / "config"; }
    // What the stand-in xdg-open was asked to open, one address a line.
    std::string opened_links() const { return slurp(root() / "xdg-open.log"); }

    // Writes list.txt (UTF-8 given, stored in code page 936) and starts the
    // mirror with `options` (in place of the one before), waiting until it listens.
    void serve(const std::string& list_text, const std::vector<std::string>& options = {});
    // Writes data.ini of the data folder in code page 936.
    void write_data_ini(const std::string& utf8_text);
    // A copy of the test program under a path of its own; its log is path + ".log".
    std::string install_target(const std::string& name);

    Process& start_keeprun();
    // keeprun started by another program, e.g. {"strace", ...}: that program's argv
    // with keeprun's path and then `arguments` appended.
    Process& start_keeprun(const std::vector<std::string>& wrapper,
                           const std::vector<std::string>& arguments = {});
    // A window manager for the tests that need one (minimising); windows are
    // then framed, so look them up with xdotool rather than windows_named.
    void start_window_manager();
    // A tray at the screen's top right edge (trayer), for the tray icon.
    void start_tray();
    // Whether a window with this title is mapped (found with xdotool, so framed windows count).
    bool window_visible(const std::string& title);
    // A window with this title, once mapped within `limit`; 0 if none.
    unsigned long wait_window(const std::string& title, std::chrono::milliseconds limit);
    // xdotool with the session's display; returns its output.
    std::string xdotool(const std::vector<std::string>& args);
    // Focuses the window and types the key there.
    void key_to(unsigned long window, const std::string& key);
    void click(int x, int y);
    std::string clipboard();
    void screenshot(const fs::path& file, const WindowBox& box);
    // The colour on screen at (x, y) as "RRGGBB".
    std::string pixel(int x, int y);
    // Whether the splash shows its line about waiting for the network within
    // `limit` (in its bottom third, blank until then).
    bool shows_network_wait(unsigned long splash, std::chrono::milliseconds limit);

  private:
    TempDir dir_;
    std::unique_ptr<Xvfb> xvfb_;
    std::unique_ptr<XDisplay> x_;
    std::unique_ptr<Process> mirror_;
    std::unique_ptr<Process> window_manager_;
    std::unique_ptr<Process> tray_;
    std::vector<std::unique_ptr<Process>> keepruns_;
    std::vector<std::string> targets_;
    Env env_overrides_;
};

// Process ids logged by a test program's "start" lines.
std::vector<int> started_pids(const std::string& target);
// Its "click X Y" lines.
std::vector<std::string> clicks(const std::string& target);

} // namespace keeprun::e2e
