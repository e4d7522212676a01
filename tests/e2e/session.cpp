#include "session.h"

#include "system/codepage.h"

#include <csignal>
#include <cstdlib>
#include <sstream>

namespace keeprun::e2e {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string system_path() {
    const char* p = std::getenv("PATH");
    return p ? p : "/usr/bin:/bin";
}

} // namespace

std::string server_text(const std::string& title, const std::string& news,
                        const std::string& exit_link) {
    return "[biaoti]" + title +
           "[biaoti]\r\n[banben]20220210[banben]\r\n"
           "[shengji]https://example.com/new[shengji]\r\n[tuichu]" +
           exit_link +
           "[tuichu]\r\n"
           "[kf1]帮助[*]https://example.com/help[kf1]\r\n"
           "[kf2]问题[*]https://example.com/faq[kf2]\r\n"
           "[kf3]客服[*]https://example.com/contact[kf3]\r\n"
           "[zdy1]一[*][zdy1][zdy2]二[*][zdy2][zdy3]三[*][zdy3][zdy4]四[*][zdy4]"
           "[zdy5]五[*][zdy5]\r\n[exe][exe]\r\n[news]" +
           news + "[news]\r\n";
}

Session::Session() {
    for (const char* sub : {"data", "config", "runtime", "home", "bin", "mirror", "programs"})
        fs::create_directories(root() / sub);
    fs::permissions(root() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    // Links keeprun opens go to this stand-in, never to a browser.
    const fs::path opener = root() / "bin" / "xdg-open";
    spit(opener,
         "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + (root() / "xdg-open.log").string() + "\"\n");
    fs::permissions(opener, fs::perms::owner_all);
    xvfb_ = std::make_unique<Xvfb>(root() / "xvfb.log");
    x_ = std::make_unique<XDisplay>(display());
}

Session::~Session() {
    keepruns_.clear();
    mirror_.reset();
    tray_.reset();
    window_manager_.reset();
    for (const std::string& target : targets_)
        for (int pid : started_pids(target))
            if (pid_alive(pid)) ::kill(pid, SIGKILL);
    x_.reset();
}

Env Session::keeprun_env() const {
    Env env{{"PATH", (root() / "bin").string() + ":" + system_path()},
            {"HOME", (root() / "home").string()},
            {"LANG", "C.UTF-8"},
            {"DISPLAY", display()},
            {"XDG_DATA_HOME", (root() / "data").string()},
            {"XDG_CONFIG_HOME", config_folder().string()},
            {"XDG_RUNTIME_DIR", (root() / "runtime").string()}};
    for (const auto& [name, value] : env_overrides_)
        env[name] = value;
    return env;
}

void Session::serve(const std::string& list_text, const std::vector<std::string>& options) {
    spit(root() / "mirror" / "list.txt", cp936_encode(list_text));
    std::vector<std::string> argv{(build_dir() / "keeprun-mirror").string(), "--dir",
                                  (root() / "mirror").string()};
    argv.insert(argv.end(), options.begin(), options.end());
    const fs::path log = root() / "mirror.out";
    // A mirror served again replaces the one before, ports and log.
    mirror_.reset();
    fs::remove(log);
    mirror_ = std::make_unique<Process>(argv, Env{{"PATH", system_path()}}, log);
    if (!wait_until([&] { return slurp(log).find("ready") != std::string::npos; }, 10s))
        throw std::runtime_error("keeprun-mirror did not start: " + slurp(log));
}

void Session::write_data_ini(const std::string& utf8_text) {
    spit(data_folder() / "data.ini", cp936_encode(utf8_text));
}

std::string Session::install_target(const std::string& name) {
    const fs::path target = root() / "programs" / name;
    fs::copy_file(build_dir() / "keeprun-e2e-target", target);
    targets_.push_back(target.string());
    return target.string();
}

Process& Session::start_keeprun() {
    return start_keeprun({});
}

Process& Session::start_keeprun(const std::vector<std::string>& wrapper,
                                const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = wrapper;
    argv.push_back((build_dir() / "keeprun").string());
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    keepruns_.push_back(std::make_unique<Process>(
        argv, keeprun_env(), root() / ("keeprun" + std::to_string(keepruns_.size() + 1) + ".log")));
    return *keepruns_.back();
}

void Session::start_window_manager() {
    window_manager_ = std::make_unique<Process>(
        std::vector<std::string>{"openbox"},
        Env{{"PATH", system_path()}, {"DISPLAY", display()}, {"HOME", (root() / "home").string()}},
        root() / "openbox.log");
    // openbox owns the screen's manager selection once it runs.
    const bool ready = wait_until(
        [&] {
            return run_capture({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"},
                               {{"PATH", system_path()}, {"DISPLAY", display()}})
                       .find("window id") != std::string::npos;
        },
        20s);
    if (!ready) throw std::runtime_error("openbox did not start: " + slurp(root() / "openbox.log"));
}

void Session::start_tray() {
    tray_ = std::make_unique<Process>(
        std::vector<std::string>{"trayer", "--edge", "top", "--align", "right", "--widthtype",
                                 "request", "--height", "32", "--transparent", "false"},
        Env{{"PATH", system_path()}, {"DISPLAY", display()}, {"HOME", (root() / "home").string()}},
        root() / "trayer.log");
    if (!wait_until([&] { return x_->selection_owned("_NET_SYSTEM_TRAY_S0"); }, 20s))
        throw std::runtime_error("trayer did not start: " + slurp(root() / "trayer.log"));
}

bool Session::window_visible(const std::string& title) {
    return !xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}).empty();
}

unsigned long Session::wait_window(const std::string& title, std::chrono::milliseconds limit) {
    unsigned long found = 0;
    wait_until(
        [&] {
            const auto windows = x_->windows_named(title);
            if (!windows.empty()) found = windows.front();
            return found != 0;
        },
        limit);
    return found;
}

std::string Session::xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_capture(argv, {{"PATH", system_path()}, {"DISPLAY", display()}});
}

void Session::key_to(unsigned long window, const std::string& key) {
    xdotool({"windowfocus", "--sync", std::to_string(window)});
    xdotool({"key", key});
}

void Session::click(int x, int y) {
    xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"});
}

std::string Session::clipboard() {
    return run_capture({"xclip", "-o", "-selection", "clipboard"},
                       {{"PATH", system_path()}, {"DISPLAY", display()}});
}

void Session::screenshot(const fs::path& file, const WindowBox& box) {
    fs::create_directories(file.parent_path());
    run_capture({"import", "-window", "root", "-crop",
                 std::to_string(box.width) + "x" + std::to_string(box.height) + "+" +
                     std::to_string(box.x) + "+" + std::to_string(box.y),
                 "+repage", file.string()},
                {{"PATH", system_path()}, {"DISPLAY", display()}});
}

std::string Session::pixel(int x, int y) {
    const std::string text =
        run_capture({"import", "-window", "root", "-crop",
                     "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-depth", "8", "txt:-"},
                    {{"PATH", system_path()}, {"DISPLAY", display()}});
    const auto hash = text.find('#', text.find(':'));
    return hash == std::string::npos ? std::string() : text.substr(hash + 1, 6);
}

bool Session::shows_network_wait(unsigned long splash, std::chrono::milliseconds limit) {
    return wait_until(
        [&] {
            // The middle half of the bottom third, clear of any frame.
            const WindowBox box = x().box(splash);
            const std::string colours =
                run_capture({"import", "-window", "root", "-crop",
                             std::to_string(box.width / 2) + "x" + std::to_string(box.height / 4) +
                                 "+" + std::to_string(box.x + box.width / 4) + "+" +
                                 std::to_string(box.y + box.height * 2 / 3),
                             "-format", "%k", "info:-"},
                            {{"PATH", system_path()}, {"DISPLAY", display()}});
            return std::atoi(colours.c_str()) > 1;
        },
        limit);
}

std::vector<int> started_pids(const std::string& target) {
    std::vector<int> pids;
    for (const std::string& line : lines_of(slurp(target + ".log")))
        if (line.rfind("start ", 0) == 0) pids.push_back(std::stoi(line.substr(6)));
    return pids;
}

std::vector<std::string> clicks(const std::string& target) {
    std::vector<std::string> out;
    for (const std::string& line : lines_of(slurp(target + ".log")))
        if (line.rfind("click ", 0) == 0) out.push_back(line.substr(6));
    return out;
}

} // namespace keeprun::e2e
