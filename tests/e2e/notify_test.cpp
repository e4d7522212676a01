// Notices of a kept program's restart: to a chat group's bot (the mirror's
// stand-in at /hook/) and on the desktop; a bot that stalls or is gone never
// holds a restart or the window.
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>

#include "net/mirrors.h"
#include "session.h"
#include "system/machine_name.h"
#include "target_geometry.h"

namespace keeprun::e2e {
namespace {

const std::string kTitle = "通知测试的标题";
// A point of the run record list in the main window (at 0,0).
constexpr int kRecordListX = 900;
constexpr int kRecordListY = 300;

std::string watch(const std::string& path) {
    return path + "[*]1[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
}

// "http://127.0.0.1:PORT" of a mirror base address.
std::string origin(const std::string& base) {
    return base.substr(0, base.find('/', base.find("://") + 3));
}

std::vector<std::string> lines_of(const fs::path& log) {
    std::vector<std::string> lines;
    std::string text = slurp(log);
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

TEST(Notify, AKilledProgramIsToldOnceAndNoBotHoldsARestartOrTheWindow) {
    Session s;
    s.start_tray();
    s.serve(server_text(kTitle, "公告"));
    const std::string target = s.install_target("watched");
    const std::string hook = origin(mirror_base_urls()[0]) + "/hook/wecom?key=e2e";
    s.write_data_ini("[gx]\r\n0=0\r\n[cx1]\r\n1=" + watch(target) + "\r\n[notify]\r\nurl=" + hook +
                     "\r\nkind=wecom\r\nsecret=\r\nevents=\r\n");
    Process& keeprun = s.start_keeprun();
    const unsigned long window = s.wait_window(kTitle, 40s);
    ASSERT_NE(window, 0u);
    s.click(kAnnouncementButtonX, kAnnouncementButtonY);
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    const fs::path hook_log = s.root() / "mirror" / "hook.log";
    const auto restarted = [&](const fs::path& log) {
        int n = 0;
        for (const std::string& line : lines_of(log))
            if (line.find("已重新打开") != std::string::npos) ++n;
        return n;
    };

    // A kill: one message, with the machine, the slot, the file and what happened.
    const auto killed_at = std::chrono::steady_clock::now();
    ::kill(started_pids(target).front(), SIGKILL);
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 2; }, 5s));
    // The desktop notice, beside the tray at the screen's top right.
    ASSERT_TRUE(wait_until([&] { return s.pixel(1280 - 150, 60) != "000000"; }, 10s));
    s.screenshot(build_dir() / "screenshots" / "tray-notice.png", {1280 - 420, 0, 420, 150});
    ASSERT_TRUE(wait_until([&] { return restarted(hook_log) == 1; }, 75s)) << slurp(hook_log);
    std::cout << "[  notify  ] message at the stand-in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - killed_at)
                     .count()
              << " ms after the kill\n";
    const std::string line = lines_of(hook_log).front();
    EXPECT_NE(line.find("/hook/wecom?key=e2e {\"msgtype\":\"text\",\"text\":{\"content\":\"[" +
                        machine_name() + "] "),
              std::string::npos)
        << line;
    EXPECT_NE(line.find(" 程序1 (watched) 已重新打开\"}}"), std::string::npos) << line;
    EXPECT_FALSE(wait_until([&] { return lines_of(hook_log).size() > 1; }, 3s))
        << "the first start is no restart: " << slurp(hook_log);

    // The settings from the run record's menu: a test message, then a bot that stalls.
    const fs::path stall_dir = s.root() / "stall";
    fs::create_directories(stall_dir);
    Process stall({(build_dir() / "keeprun-mirror").string(), "--dir", stall_dir.string(),
                   "--ports", "0,0,0", "--answer", "1", "--hook-delay", "600"},
                  {{"PATH", "/usr/bin:/bin"}}, s.root() / "stall.out");
    ASSERT_TRUE(wait_until(
        [&] { return slurp(s.root() / "stall.out").find("ready") != std::string::npos; }, 10s));
    const std::string out = slurp(s.root() / "stall.out");
    const std::size_t at = out.find("http://");
    const std::string stall_hook = origin(out.substr(at, out.find('\n', at) - at)) + "/hook/";
    const auto open_settings = [&] {
        s.xdotool({"mousemove", "--sync", std::to_string(kRecordListX),
                   std::to_string(kRecordListY), "click", "3"});
        s.xdotool({"key", "Down", "Return"});
        return s.wait_window("通知设置", 10s);
    };
    unsigned long dialog = open_settings();
    ASSERT_NE(dialog, 0u);
    s.key_to(dialog, "alt+t");
    ASSERT_TRUE(wait_until(
        [&] { return slurp(hook_log).find("keeprun 通知测试") != std::string::npos; }, 20s));
    s.screenshot(build_dir() / "screenshots" / "notify-dialog.png", s.x().box(dialog));
    s.key_to(dialog, "ctrl+a");
    s.xdotool({"type", "--delay", "20", stall_hook});
    s.key_to(dialog, "Return");
    ASSERT_TRUE(wait_until([&] { return s.x().windows_named("通知设置").empty(); }, 10s));

    ::kill(started_pids(target).back(), SIGKILL);
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 3; }, 5s));
    // Once the bot holds the sender, a kill is still answered at once.
    ASSERT_TRUE(wait_until([&] { return restarted(stall_dir / "hook.log") == 1; }, 75s));
    ::kill(started_pids(target).back(), SIGKILL);
    EXPECT_TRUE(wait_until([&] { return started_pids(target).size() == 4; }, 4s))
        << "a stalling bot delays no restart";

    // The bot gone: the slots go on and the window answers.
    stall.kill();
    ::kill(started_pids(target).back(), SIGKILL);
    EXPECT_TRUE(wait_until([&] { return started_pids(target).size() == 5; }, 4s));
    dialog = open_settings();
    EXPECT_NE(dialog, 0u) << "the window answers";
    s.key_to(dialog, "Escape");
    EXPECT_TRUE(keeprun.running());
    EXPECT_EQ(restarted(hook_log), 1) << "nothing more to the first bot: " << slurp(hook_log);
}

} // namespace
} // namespace keeprun::e2e
