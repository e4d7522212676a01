// keeprun.exe and its installer under Wine on a private X server, against the
// Linux keeprun-mirror: what a Windows user meets, as far as Wine can show it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>

#include "net/mirrors.h"
#include "session.h"
#include "system/codepage.h"
#include "wine_target.h"

namespace keeprun::e2e {
namespace {

using wine::kTargetX;
using wine::kTargetY;

const std::string kTitle = "程序守护与定时重启助手";
const std::string kTarget = "C:\\programs\\keeprun-wine-target.exe";
const std::string kClickAt = std::to_string(kTargetX + 60) + "*" + std::to_string(kTargetY + 60);
const std::string kClickSeen = std::to_string(kTargetX + 60) + " " + std::to_string(kTargetY + 60);
// A first-kind slot's parameter string: open delay 1 s, one click position,
// the arguments of the shortcut it was dropped as.
const std::string kSlot =
    kTarget + "[*]1[*]3[*]3[*]3[*]" + kClickAt + "[*][*][*][*]0[*]0[*][*]20:01[*]-w \"a b\"[*][*]";
// Slot 2 holds a file that is no program: its start fails.
const std::string kBroken = "C:\\programs\\broken.exe";
const std::string kBrokenSlot =
    kBroken + "[*]1[*]3[*]3[*]3[*]" + kClickAt + "[*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
const std::string kExitLink = "https://example.com/bye";
const std::string kButtonLink = "https://example.com/one";
// The first of the vendor's buttons in the main window, from its corner.
constexpr int kVendorButtonX = 308;
constexpr int kVendorButtonY = 17;
const std::string kRunKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// A point of the run record list, from the main window's corner.
constexpr int kRecordListX = 900;
constexpr int kRecordListY = 300;

// The mirror's stand-in for a chat group's bot.
std::string hook_address() {
    const std::string& base = mirror_base_urls()[0];
    return base.substr(0, base.find('/', base.find("://") + 3)) + "/hook/wine";
}

// A Wine process runs this Windows program (its command line is the Windows one).
bool wine_program_runs(const std::string& windows_path) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string cmdline = slurp(entry.path() / "cmdline");
        if (cmdline.find(windows_path) != std::string::npos) return true;
    }
    return false;
}

fs::path win_build() {
    const char* dir = std::getenv("KEEPRUN_WIN_BUILD");
    return dir ? fs::path(dir) : fs::path();
}

// One throwaway Wine prefix on one X server, with one mirror, for every case.
class WineRun : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        session_ = new Session;
        text_ = server_text(kTitle, "在 Wine 中运行的公告", kExitLink);
        const std::string button = "[zdy1]一[*]";
        text_.insert(text_.find(button) + button.size(), kButtonLink);
        session_->serve(text_);
        run({"wineserver", "-p"}, 60s);
        run({"wineboot", "-i"}, 300s);
    }
    static void TearDownTestSuite() {
        run({"wineserver", "-k"}, 60s);
        delete session_;
    }
    void SetUp() override {
        if (!fs::exists(win_build() / "keeprun" / "keeprun.exe"))
            GTEST_SKIP() << "no Windows build: scripts/build-windows makes build-win/";
    }

    static Env env() {
        // The stand-in xdg-open first: Wine hands web addresses to it.
        return {{"PATH", (s().root() / "bin").string() + ":/usr/bin:/bin"},
                {"HOME", (s().root() / "home").string()},
                {"DISPLAY", s().display()},
                {"WINEPREFIX", (s().root() / "wine").string()},
                {"WINEDEBUG", "-all"},
                // No Gecko or Mono prompts, and no launchers of the installed
                // program made in the user's Linux menus.
                {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"}};
    }
    static Session& s() { return *session_; }
    static fs::path drive_c() { return s().root() / "wine" / "drive_c"; }
    // Runs `wine args...` (or a Wine tool) to its end; returns what it wrote.
    static std::string run(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
        const fs::path out = s().root() / ("run" + std::to_string(++runs_) + ".log");
        Process p(argv, env(), out);
        if (!p.wait_exit(limit)) ADD_FAILURE() << argv.front() << " " << argv.back() << " hangs";
        return slurp(out);
    }
    // Runs the installer silently; its exit code.
    static std::optional<int> install(const fs::path& setup) {
        Process p({"wine", setup.string(), "/S", "/AUTOSTART"}, env(),
                  s().root() / ("setup" + std::to_string(++runs_) + ".log"));
        return p.wait_exit(300s);
    }
    // The Run value starts the installed keeprun as a start at login.
    static bool run_value_set() {
        return run({"wine", "reg", "query", kRunKey, "/v", "keeprun"}, 60s)
                   .find("\"C:\\Program Files\\keeprun\\keeprun.exe\" --login") !=
               std::string::npos;
    }
    static std::unique_ptr<Process> start(const std::string& exe) {
        return std::make_unique<Process>(std::vector<std::string>{"wine", exe}, env(),
                                         s().root() / ("start" + std::to_string(++runs_) + ".log"));
    }
    // A point of keeprun's window, given from its corner (Wine places it away from 0,0).
    void click_in(unsigned long window, int x, int y) {
        const WindowBox box = s().x().box(window);
        s().click(box.x + x, box.y + y);
    }
    // The test program in C:\programs, not running, and slot 1 of data.ini set to it.
    static fs::path place_target_in_slot_1() {
        run({"wine", "taskkill", "/F", "/IM", "keeprun-wine-target.exe"}, 30s);
        EXPECT_TRUE(wait_until([] { return !wine_program_runs(kTarget); }, 30s));
        const fs::path target = drive_c() / "programs" / "keeprun-wine-target.exe";
        fs::create_directories(target.parent_path());
        fs::copy_file(win_build() / "keeprun-wine-target.exe", target,
                      fs::copy_options::overwrite_existing);
        spit(drive_c() / "programs" / "broken.exe", "not a program");
        spit(drive_c() / "zx" / "data.ini",
             cp936_encode("[gx]\r\n0=0\r\n[cx1]\r\n1=" + kSlot + "\r\n2=" + kBrokenSlot +
                          "\r\n[notify]\r\nurl=" + hook_address() +
                          "\r\nkind=dingtalk\r\nsecret=SECwine\r\n"));
        return target;
    }
    static bool announcement_shown(unsigned long window) {
        return wait_until(
            [&] {
                const WindowBox box = s().x().box(window);
                return s().pixel(box.x + kMessagePanelX, box.y + kMessagePanelY) ==
                       kMessagePanelColour;
            },
            20s);
    }
    // Asks the window to close and answers the question with Enter (是).
    void close_confirmed(unsigned long window) {
        s().x().request_close(window);
        const unsigned long ask = s().wait_window("关闭确认", 20s);
        ASSERT_NE(ask, 0u) << "no close question";
        s().key_to(ask, "Return");
    }

    static inline Session* session_ = nullptr;
    static inline std::string text_;
    static inline int runs_ = 0;
};

TEST_F(WineRun, KeepsTheProgramRunningClicksWhereStoredAndSavesInCodePage936) {
    const fs::path target = place_target_in_slot_1();
    const auto keeprun = start((win_build() / "keeprun" / "keeprun.exe").string());
    const unsigned long window = s().wait_window(kTitle, 120s);
    ASSERT_NE(window, 0u) << "titles: " << ::testing::PrintToString(s().x().titles());
    ASSERT_TRUE(announcement_shown(window));
    fs::create_directories(build_dir() / "screenshots");
    s().screenshot(build_dir() / "screenshots" / "wine-announcement.png", s().x().box(window));
    EXPECT_FALSE(wait_until([&] { return !started_pids(target.string()).empty(); }, 3s))
        << "nothing starts while the announcement is open";

    click_in(window, kAnnouncementButtonX, kAnnouncementButtonY);
    ASSERT_TRUE(wait_until([&] { return started_pids(target.string()).size() == 1; }, 15s));
    ASSERT_TRUE(wait_until([&] { return clicks(target.string()).size() == 1; }, 15s));
    EXPECT_EQ(clicks(target.string()).front(), kClickSeen);
    // Started in its own folder, as Explorer does, with the shortcut's arguments.
    const std::string log = slurp(target.string() + ".log");
    EXPECT_NE(log.find("folder C:\\programs\n"), std::string::npos) << log;
    EXPECT_NE(log.find("arguments -w|a b\n"), std::string::npos) << log;
    // A vendor button's address reaches the browser.
    click_in(window, kVendorButtonX, kVendorButtonY);
    EXPECT_TRUE(wait_until(
        [&] { return s().opened_links().find(kButtonLink + "\n") != std::string::npos; }, 20s))
        << s().opened_links();

    const auto killed_at = std::chrono::steady_clock::now();
    run({"wine", "taskkill", "/F", "/PID", std::to_string(started_pids(target.string()).front())},
        30s);
    ASSERT_TRUE(wait_until([&] { return started_pids(target.string()).size() == 2; }, 15s))
        << "a killed program runs again";
    const auto delay = std::chrono::steady_clock::now() - killed_at;
    std::cout << "[   wine   ] started again "
              << std::chrono::duration_cast<std::chrono::milliseconds>(delay).count()
              << " ms after the kill\n";
    ASSERT_TRUE(wait_until([&] { return clicks(target.string()).size() == 2; }, 15s));
    EXPECT_EQ(clicks(target.string()).back(), kClickSeen);

    // The picture once the click mark is gone (its ring crosses this point).
    s().xdotool({"mousemove", "--sync", "1200", "1000"});
    ASSERT_TRUE(
        wait_until([&] { return s().pixel(kTargetX + 45, kTargetY + 60) == "FFFFFF"; }, 5s));
    s().screenshot(build_dir() / "screenshots" / "wine-main.png", s().x().box(window));

    // "通知设置" from the run record's menu; its test message reaches the stand-in,
    // signed, through WinHTTP.
    const fs::path hook_log = s().root() / "mirror" / "hook.log";
    click_in(window, kRecordListX, kRecordListY);
    s().xdotool({"click", "3"});
    s().xdotool({"mousemove_relative", "--sync", "20", "10", "click", "1"});
    const unsigned long dialog = s().wait_window("通知设置", 20s);
    ASSERT_NE(dialog, 0u) << "titles: " << ::testing::PrintToString(s().x().titles());
    s().key_to(dialog, "alt+t");
    EXPECT_TRUE(wait_until(
        [&] { return slurp(hook_log).find("keeprun 通知测试") != std::string::npos; }, 30s))
        << slurp(hook_log);
    EXPECT_NE(slurp(hook_log).find("/hook/wine?timestamp="), std::string::npos) << slurp(hook_log);
    s().key_to(dialog, "Escape");
    ASSERT_TRUE(wait_until([&] { return s().x().windows_named("通知设置").empty(); }, 20s));
    const int help_x[2] = {390, 240};
    const int help_y[2] = {48, 301};
    for (int i = 0; i < 2; ++i) {
        click_in(window, help_x[i], help_y[i]);
        const unsigned long picture = s().wait_window("说明", 20s);
        ASSERT_NE(picture, 0u);
        // Both pictures open with a blue heading band.
        const WindowBox box = s().x().box(picture);
        ASSERT_TRUE(wait_until([&] { return s().pixel(box.x + 10, box.y + 10) == "2060B0"; }, 20s));
        const std::string name = "SM" + std::to_string(i + 1) + ".png";
        const fs::path shot = build_dir() / "screenshots" / ("wine-help-" + name);
        s().screenshot(shot, box);
        const char* source = std::getenv("KEEPRUN_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        const fs::path want = fs::path(source) / "resources" / "windows" / name;
        EXPECT_EQ(run({"compare", "-alpha", "off", "-metric", "AE", want.string(), shot.string(),
                       "null:"},
                      60s),
                  "0")
            << "the Windows help picture, pixel for pixel";
        s().x().request_close(picture);
        ASSERT_TRUE(wait_until([&] { return s().x().windows_named("说明").empty(); }, 20s));
    }

    // The kill's message, once its minute is over.
    EXPECT_TRUE(wait_until(
        [&] {
            return slurp(hook_log).find("程序1 (keeprun-wine-target.exe) 已重新打开") !=
                   std::string::npos;
        },
        75s))
        << slurp(hook_log);

    close_confirmed(window);
    ASSERT_EQ(keeprun->wait_exit(30s), std::optional<int>(0));
    EXPECT_TRUE(wait_until(
        [&] { return s().opened_links().find(kExitLink + "\n") != std::string::npos; }, 20s))
        << "the exit link after the close: " << s().opened_links();
    const std::string ini = slurp(drive_c() / "zx" / "data.ini");
    EXPECT_NE(ini.find(cp936_encode("1=" + kSlot)), std::string::npos) << cp936_decode(ini);
    const std::string record = slurp(drive_c() / "zx" / "jilu.txt");
    EXPECT_NE(record.find(cp936_encode("打开程序1")), std::string::npos)
        << "the record is written in code page 936: " << cp936_decode(record);
    EXPECT_NE(record.find(cp936_encode("程序2打开失败")), std::string::npos)
        << "a start that fails is recorded as failed: " << cp936_decode(record);
    EXPECT_EQ(record.find(cp936_encode("打开程序2")), std::string::npos) << cp936_decode(record);
}

TEST_F(WineRun, TheInstalledProgramStartsWithWindowsSavesAtSessionEndAndIsUninstalled) {
    fs::path setup;
    for (const auto& entry : fs::directory_iterator(win_build()))
        if (entry.path().filename().string().ends_with("-setup.exe")) setup = entry.path();
    ASSERT_FALSE(setup.empty()) << "no installer in " << win_build();
    const fs::path folder = drive_c() / "Program Files" / "keeprun";
    // Systems Qt 6 cannot serve are refused before anything is installed
    // (Wine reports Windows 7 unless told otherwise).
    const auto report_version = [](const std::string& version) {
        run({"wine", "reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", version, "/f"},
            60s);
    };
    for (const char* version : {"win7", "win81"}) {
        report_version(version);
        EXPECT_EQ(install(setup), std::optional<int>(3)) << version;
        EXPECT_FALSE(fs::exists(folder)) << version;
    }
    report_version("win10");
    ASSERT_EQ(install(setup), std::optional<int>(0));
    const fs::path shortcut = drive_c() / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" /
                              "Programs" / "keeprun.lnk";
    ASSERT_TRUE(fs::exists(folder / "keeprun.exe"));
    EXPECT_TRUE(fs::exists(folder / "uninstall.exe"));
    EXPECT_TRUE(fs::exists(folder / "platforms" / "qwindows.dll"));
    EXPECT_TRUE(fs::exists(shortcut));
    EXPECT_TRUE(fs::exists(folder / "qt.conf"));
    EXPECT_FALSE(run_value_set()) << "the installer leaves the choice to keeprun's user";

    const fs::path target = place_target_in_slot_1();
    fs::remove(drive_c() / "zx" / "jilu.txt");
    const auto keeprun = start((folder / "keeprun.exe").string());
    const unsigned long window = s().wait_window(kTitle, 120s);
    ASSERT_NE(window, 0u) << "the installed program shows its window";
    ASSERT_TRUE(announcement_shown(window));
    EXPECT_TRUE(run_value_set()) << "start with Windows, taken over by the user's keeprun";
    const size_t starts = started_pids(target.string()).size();
    click_in(window, kAnnouncementButtonX, kAnnouncementButtonY);
    ASSERT_TRUE(wait_until([&] { return started_pids(target.string()).size() > starts; }, 15s))
        << "the slots are loaded";
    // Minimised, keeprun still copies the pointer on Ctrl+8 pressed in another
    // program (Wine's hook sees only keys that reach a Wine window: the target's).
    run({"wine", target.string(), "/minimise", kTitle}, 30s);
    EXPECT_TRUE(wait_until([&] { return !s().window_visible(kTitle); }, 20s));
    const std::string target_window = s().xdotool({"search", "--name", "^target$"});
    ASSERT_FALSE(target_window.empty());
    s().xdotool({"windowfocus", "--sync", target_window.substr(0, target_window.find('\n'))});
    s().xdotool({"mousemove", "--sync", "345", "67"});
    EXPECT_TRUE(wait_until(
        [&] {
            s().xdotool({"key", "ctrl+8"});
            return wait_until([&] { return s().clipboard() == "345*67"; }, 3s);
        },
        20s))
        << "clipboard: " << s().clipboard();
    // The session ends under it: it saves what it holds and ends without asking.
    fs::remove(drive_c() / "zx" / "data.ini");
    run({"wine", "wineboot", "--end-session"}, 60s);
    ASSERT_EQ(keeprun->wait_exit(30s), std::optional<int>(0));
    EXPECT_NE(slurp(drive_c() / "zx" / "data.ini").find(cp936_encode("1=" + kSlot)),
              std::string::npos);
    EXPECT_NE(slurp(drive_c() / "zx" / "jilu.txt").find(cp936_encode("打开程序1")),
              std::string::npos);
    // The next session starts what the Run key names, before the network: the
    // mirrors come up 40 s later, and keeprun waits for them.
    s().serve(text_, {"--down-for", "40"});
    run({"wine", "wineboot"}, 120s);
    const unsigned long splash = s().wait_window("程序正在初始化", 60s);
    ASSERT_NE(splash, 0u);
    EXPECT_TRUE(s().shows_network_wait(splash, 30s));
    const unsigned long again = s().wait_window(kTitle, 120s);
    ASSERT_NE(again, 0u) << "started with Windows";
    EXPECT_EQ(install(setup), std::optional<int>(4)) << "no update over a running keeprun";
    // Ended for good (the close question was shown above), so its files can go.
    run({"wine", "taskkill", "/F", "/IM", "keeprun.exe"}, 30s);
    ASSERT_TRUE(wait_until(
        [&] { return !wine_program_runs("C:\\Program Files\\keeprun\\keeprun.exe"); }, 30s));

    // The uninstaller runs a copy of itself and returns at once.
    run({"wine", (folder / "uninstall.exe").string(), "/S"}, 120s);
    EXPECT_TRUE(wait_until([&] { return !fs::exists(folder); }, 60s))
        << "the folder is removed; left: " << ::testing::PrintToString([&] {
               std::vector<std::string> left;
               for (const auto& f : fs::recursive_directory_iterator(folder))
                   left.push_back(f.path().string());
               return left;
           }());
    EXPECT_FALSE(fs::exists(shortcut));
    EXPECT_FALSE(run_value_set());
}

// When a target logged its fault ("crash" or "hang") and when it started again.
struct Restart {
    fs::path target;
    std::string fault;
    std::optional<std::chrono::steady_clock::time_point> faulted, started;
};

TEST_F(WineRun, AProgramHeldByTheCrashDialogOrHungIsEndedAndStartedAgain) {
    run({"wine", "taskkill", "/F", "/IM", "keeprun-wine-target.exe"}, 30s);
    fs::create_directories(drive_c() / "programs");
    std::string ini = "[gx]\r\n0=0\r\n[cx1]\r\n";
    std::vector<fs::path> targets;
    for (const std::string name : {"crashes", "hangs"}) {
        targets.push_back(drive_c() / "programs" / (name + "-target.exe"));
        fs::copy_file(win_build() / "keeprun-wine-target.exe", targets.back(),
                      fs::copy_options::overwrite_existing);
        ini += std::to_string(targets.size()) + "=C:\\programs\\" + name +
               "-target.exe[*]1[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]\r\n";
    }
    spit(drive_c() / "zx" / "data.ini", cp936_encode(ini));
    const auto keeprun = start((win_build() / "keeprun" / "keeprun.exe").string());
    const unsigned long window = s().wait_window(kTitle, 120s);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(announcement_shown(window));
    click_in(window, kAnnouncementButtonX, kAnnouncementButtonY);
    for (const fs::path& target : targets)
        ASSERT_TRUE(wait_until([&] { return started_pids(target.string()).size() == 1; }, 30s));
    std::vector<Restart> restarts{{targets[0], "crash", {}, {}}, {targets[1], "hang", {}, {}}};
    ASSERT_TRUE(wait_until(
        [&] {
            bool all = true;
            for (Restart& r : restarts) {
                const auto now = std::chrono::steady_clock::now();
                if (!r.faulted &&
                    slurp(r.target.string() + ".log").find(r.fault) != std::string::npos)
                    r.faulted = now;
                if (r.faulted && !r.started && started_pids(r.target.string()).size() == 2)
                    r.started = now;
                all = all && r.started;
            }
            return all;
        },
        150s));
    for (const Restart& r : restarts)
        std::cout
            << "[   wine   ] " << r.fault << ": started again after "
            << std::chrono::duration_cast<std::chrono::seconds>(*r.started - *r.faulted).count()
            << " s\n";

    close_confirmed(window);
    ASSERT_EQ(keeprun->wait_exit(30s), std::optional<int>(0));
    const std::string record = cp936_decode(slurp(drive_c() / "zx" / "jilu.txt"));
    EXPECT_NE(record.find("程序1已崩溃"), std::string::npos) << record;
    EXPECT_NE(record.find("程序2未响应"), std::string::npos) << record;
    run({"wine", "taskkill", "/F", "/IM", "crashes-target.exe"}, 30s);
    run({"wine", "taskkill", "/F", "/IM", "hangs-target.exe"}, 30s);
}

} // namespace
} // namespace keeprun::e2e
