// The real keeprun under its own X server, against its own mirror.
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "session.h"
#include "system/codepage.h"
#include "target_geometry.h"

namespace keeprun::e2e {
namespace {

const std::string kTitle = "端到端测试的标题";
const std::string kClickAt = std::to_string(kTargetX + 60) + "*" + std::to_string(kTargetY + 60);
const std::string kClickSeen = std::to_string(kTargetX + 60) + " " + std::to_string(kTargetY + 60);

// A first-kind slot's parameter string: open delay 1 s, one click position.
std::string watch(const std::string& path) {
    return path + "[*]1[*]3[*]3[*]3[*]" + kClickAt + "[*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
}

// Every file under `folder` with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().string()] = slurp(entry.path());
    return files;
}

class EndToEnd : public ::testing::Test {
  protected:
    // Waits for the main window with the server's caption; 0 when it never came.
    unsigned long main_window() { return s.wait_window(kTitle, 40s); }
    void dismiss_announcement() { s.click(kAnnouncementButtonX, kAnnouncementButtonY); }
    // Asks the main window to close and answers the confirmation with `key`.
    void close_with(unsigned long window, const std::string& key) {
        s.x().request_close(window);
        const unsigned long ask = s.wait_window("关闭确认", 10s);
        ASSERT_NE(ask, 0u) << "no close confirmation";
        s.key_to(ask, key);
    }

    Session s;
};

TEST_F(EndToEnd, KeepsTheProgramRunningClicksWhereStoredAndSavesOnEnter) {
    const std::string target = s.install_target("watched");
    // Captions that, taken as markup, would read a fifo (hanging for good) and paint big.
    const fs::path fifo = s.root() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string text = server_text(kTitle, "公告正文");
    text.replace(text.find("帮助"), 6, "<img src=\"" + fifo.string() + "\">");
    text.replace(text.find("问题"), 6, "<font color=green size=6>x");
    s.serve(text);
    s.write_data_ini("[gx]\r\n0=0\r\n[cx1]\r\n1=" + watch(target) + "\r\n");
    Process& keeprun = s.start_keeprun();
    const unsigned long window = main_window();
    ASSERT_NE(window, 0u) << "the caption is the server's [biaoti]";
    EXPECT_EQ(s.x().box(window).x, 0);

    EXPECT_FALSE(wait_until([&] { return !started_pids(target).empty(); }, 3s))
        << "nothing starts while the announcement is open";
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    ASSERT_TRUE(wait_until([&] { return !clicks(target).empty(); }, 15s));
    EXPECT_EQ(clicks(target).front(), kClickSeen);
    const int reader_check = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    EXPECT_EQ(reader_check, -1) << "keeprun opened the fifo";
    if (reader_check >= 0) ::close(reader_check);
    EXPECT_EQ(slurp(target + ".log").find("platform"), std::string::npos)
        << "a started program gets the environment keeprun was started with";

    const int first = started_pids(target).front();
    ::kill(first, SIGKILL);
    ASSERT_TRUE(wait_until([&] { return !pid_alive(first); }, 5s));
    EXPECT_TRUE(wait_until(
        [&] {
            const auto pids = started_pids(target);
            return pids.size() == 2 && pid_alive(pids[1]);
        },
        4s))
        << "a killed program runs again within 4 s";

    close_with(window, "Escape");
    EXPECT_TRUE(wait_until([&] { return s.x().windows_named("关闭确认").empty(); }, 10s));
    EXPECT_TRUE(keeprun.running()) << "No keeps keeprun running";

    close_with(window, "Return");
    ASSERT_EQ(keeprun.wait_exit(15s), std::optional<int>(0));

    const std::string ini = cp936_decode(slurp(s.data_folder() / "data.ini"));
    EXPECT_NE(ini.find("1=" + watch(target)), std::string::npos) << ini;
    EXPECT_NE(ini.find("[gx]"), std::string::npos);
    const std::string raw_record = slurp(s.data_folder() / "jilu.txt");
    EXPECT_NE(raw_record.find(cp936_encode("打开程序1")), std::string::npos)
        << "the record is written in code page 936";
    const std::vector<std::string> lines = crlf_lines(cp936_decode(raw_record));
    ASSERT_EQ(lines.size(), 2001u);
    EXPECT_EQ(raw_record.substr(raw_record.size() - 2), "\r\n");
    int openings = 0;
    for (const std::string& line : lines)
        if (line.find(" 打开程序1") != std::string::npos) ++openings;
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(lines[0].size(), std::string("00:00:00 打开程序1").size());
}

TEST_F(EndToEnd, AProgramThatStopsAnsweringIsEndedAndStartedAgainOneWithoutPingsIsLeftAlone) {
    const std::string hangs = s.install_target("answers-then-hangs");
    const std::string sleeps = s.install_target("sleeps");
    s.serve(server_text(kTitle, "公告正文"));
    s.write_data_ini("[gx]\r\n0=0\r\n[cx1]\r\n1=" + watch(hangs) + "\r\n2=" + watch(sleeps) +
                     "\r\n");
    s.start_keeprun();
    const unsigned long window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(hangs).size() == 1; }, 15s));
    const int first = started_pids(hangs).front();
    // Quiet after 5 s, hung after a minute more, asked every 10 s.
    ASSERT_TRUE(wait_until([&] { return started_pids(hangs).size() == 2; }, 100s));
    EXPECT_FALSE(pid_alive(first));
    EXPECT_EQ(started_pids(sleeps).size(), 1u) << "a window that cannot be asked is never hung";

    close_with(window, "Return");
    ASSERT_TRUE(wait_until([&] { return s.x().windows_named(kTitle).empty(); }, 15s));
    const std::string record = cp936_decode(slurp(s.data_folder() / "jilu.txt"));
    const std::size_t hung = record.find(" 程序1未响应\r\n");
    ASSERT_NE(hung, std::string::npos) << record;
    EXPECT_NE(record.find(" 打开程序1", hung), std::string::npos) << "started again after it";
    EXPECT_EQ(record.find("程序2未响应"), std::string::npos);
}

TEST_F(EndToEnd, ALauncherThatBecomesTheProgramIsStartedOnce) {
    const std::string target = s.install_target("real");
    const fs::path launcher = s.root() / "programs" / "launcher.sh";
    spit(launcher, "#!/bin/sh\nexec " + target + "\n");
    fs::permissions(launcher, fs::perms::owner_all);
    s.serve(server_text(kTitle, ""));
    s.write_data_ini("[cx1]\r\n1=" + watch(launcher.string()) + "\r\n");
    s.start_keeprun();
    ASSERT_NE(main_window(), 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    EXPECT_FALSE(wait_until([&] { return started_pids(target).size() > 1; }, 30s))
        << "the started launcher counts as the slot's program while it lives";
    EXPECT_TRUE(pid_alive(started_pids(target).front()));
}

TEST_F(EndToEnd, ANewStartRestoresSlotsAndRecordWhileTheProgramStillRuns) {
    const std::string target = s.install_target("kept");
    s.serve(server_text(kTitle, "公告"));
    s.write_data_ini("[cx1]\r\n2=" + watch(target) +
                     "\r\n[cx2]\r\n3=/opt/无此程序/app[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]"
                     "整点重启[*]20:01:00[*][*][*]\r\n");
    Process& first_run = s.start_keeprun();
    unsigned long window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    close_with(window, "Return");
    ASSERT_EQ(first_run.wait_exit(15s), std::optional<int>(0));
    const std::string saved_ini = slurp(s.data_folder() / "data.ini");
    const std::string saved_record = slurp(s.data_folder() / "jilu.txt");
    ASSERT_TRUE(pid_alive(started_pids(target).front())) << "the program outlives keeprun";

    Process& second_run = s.start_keeprun();
    window = main_window();
    ASSERT_NE(window, 0u) << "the instance lock went with the first keeprun";
    dismiss_announcement();
    EXPECT_FALSE(wait_until([&] { return started_pids(target).size() > 1; }, 4s))
        << "the running program is recognised, not started again";
    close_with(window, "Return");
    ASSERT_EQ(second_run.wait_exit(15s), std::optional<int>(0));

    EXPECT_EQ(cp936_decode(slurp(s.data_folder() / "data.ini")), cp936_decode(saved_ini));
    const std::vector<std::string> before = crlf_lines(cp936_decode(saved_record));
    const std::vector<std::string> after =
        crlf_lines(cp936_decode(slurp(s.data_folder() / "jilu.txt")));
    ASSERT_FALSE(before.front().empty());
    EXPECT_EQ(after.front(), before.front()) << "the record list was restored";
}

TEST_F(EndToEnd, ADataFolderThatCannotBeMadeIsSaidAtStartAndAtClose) {
    // A plain file where the data folder's parent should be.
    spit(s.root() / "blocked", "not a folder");
    s.set_env("XDG_DATA_HOME", (s.root() / "blocked").string());
    s.serve(server_text(kTitle, ""));
    Process& keeprun = s.start_keeprun();
    const unsigned long warning = s.wait_window("错误提示", 40s);
    ASSERT_NE(warning, 0u) << "the failure is shown, not passed over";
    s.key_to(warning, "Return");
    const unsigned long window = main_window();
    ASSERT_NE(window, 0u) << "keeprun runs on without saving";

    close_with(window, "Return");
    const unsigned long not_saved = s.wait_window("错误提示", 10s);
    ASSERT_NE(not_saved, 0u) << "a failed save is not passed over either";
    EXPECT_TRUE(keeprun.running());
    s.key_to(not_saved, "Return");
    EXPECT_EQ(keeprun.wait_exit(10s), std::optional<int>(0));
}

TEST_F(EndToEnd, TheStoredOptionStartsKeeprunMinimised) {
    s.start_window_manager();
    s.serve(server_text(kTitle, ""));
    s.write_data_ini("[gx]\r\n0=1\r\n");
    Process& keeprun = s.start_keeprun();
    std::string window;
    ASSERT_TRUE(wait_until(
        [&] {
            window = s.xdotool({"search", "--name", kTitle});
            return !window.empty();
        },
        40s));
    window = window.substr(0, window.find('\n'));
    const auto state = [&] {
        return run_capture({"xprop", "-id", window, "WM_STATE"},
                           {{"PATH", "/usr/bin:/bin"}, {"DISPLAY", s.display()}});
    };
    EXPECT_TRUE(wait_until([&] { return state().find("Iconic") != std::string::npos; }, 20s))
        << state();
    EXPECT_TRUE(keeprun.running());
}

TEST_F(EndToEnd, AnEmptyTitleStaysEmptyAndCtrlEightCopiesTheReadout) {
    s.serve(server_text("", ""));
    Process& keeprun = s.start_keeprun();
    const unsigned long window = s.wait_window("", 40s);
    ASSERT_NE(window, 0u) << "titles: " << ::testing::PrintToString(s.x().titles());
    EXPECT_EQ(run_capture({"xprop", "-id", std::to_string(window), "WM_NAME", "_NET_WM_NAME"},
                          {{"PATH", "/usr/bin:/bin"}, {"DISPLAY", s.display()}}),
              "WM_NAME(UTF8_STRING) = \n_NET_WM_NAME(UTF8_STRING) = \n");
    s.xdotool({"mousemove", "--sync", "321", "123"});
    // The readout follows the pointer within a tick; a 30 ms tap copies it.
    ASSERT_TRUE(wait_until(
        [&] {
            s.xdotool({"keydown", "ctrl+8", "sleep", "0.03", "keyup", "ctrl+8"});
            return wait_until([&] { return s.clipboard() == "321*123"; }, 3s);
        },
        10s))
        << "clipboard: " << s.clipboard();
    // Held down, the keys copy again once the 2-second pause is over.
    s.xdotool({"mousemove", "--sync", "400", "200"});
    s.xdotool({"keydown", "ctrl+8"});
    const bool copied = wait_until([&] { return s.clipboard() == "400*200"; }, 10s);
    s.xdotool({"keyup", "ctrl+8"});
    EXPECT_TRUE(copied) << "clipboard: " << s.clipboard();
    EXPECT_TRUE(keeprun.running());
}

TEST_F(EndToEnd, ASecondInstanceIsRefusedWhileTheFirstRunsOnAndWritesNothing) {
    s.serve(server_text(kTitle, "", "https://example.com/bye"));
    Process& first = s.start_keeprun();
    ASSERT_NE(main_window(), 0u);
    const auto config_before = snapshot(s.config_folder());
    ASSERT_FALSE(config_before.empty()) << "the first instance stored its client key";
    const auto data_before = snapshot(s.data_folder());

    Process& second = s.start_keeprun();
    const unsigned long refused = s.wait_window("keeprun 程序守护", 20s);
    ASSERT_NE(refused, 0u) << "the second instance shows its own window with the notice";
    s.x().request_close(refused);
    // Closing it just ends it; should a close question come, it is answered yes.
    wait_until([&] { return !second.running() || !s.x().windows_named("关闭确认").empty(); }, 10s);
    for (const unsigned long ask : s.x().windows_named("关闭确认"))
        s.key_to(ask, "Return");
    EXPECT_EQ(second.wait_exit(10s), std::optional<int>(0));
    EXPECT_TRUE(first.running());
    EXPECT_EQ(snapshot(s.data_folder()), data_before);
    EXPECT_EQ(snapshot(s.config_folder()), config_before);
    EXPECT_EQ(s.opened_links(), "");
    for (const char* name : {"data.ini", "jilu.txt"})
        EXPECT_FALSE(fs::remove(name)) << name << " was written into the current folder";
}

TEST_F(EndToEnd, InTheTrayCtrlEightCopiesThePointerAndASecondStartBringsTheWindowBack) {
    s.start_window_manager();
    s.start_tray();
    s.serve(server_text(kTitle, ""));
    s.write_data_ini("[gx]\r\n0=1\r\n");
    Process& first = s.start_keeprun();
    ASSERT_TRUE(wait_until([&] { return s.window_visible(kTitle); }, 40s));
    ASSERT_TRUE(wait_until([&] { return !s.window_visible(kTitle); }, 20s))
        << "started minimised, the window goes to the tray";
    const std::string window = s.xdotool({"search", "--name", "^" + kTitle + "$"});
    EXPECT_NE(run_capture({"xprop", "-id", window.substr(0, window.find('\n')), "_NET_WM_ICON"},
                          {{"PATH", "/usr/bin:/bin"}, {"DISPLAY", s.display()}})
                  .find("Icon ("),
              std::string::npos)
        << "the window carries the program's icon";

    // Ctrl+8 copies where the pointer is now, not the hidden readout's last text,
    // and says so without taking the focus.
    s.xdotool({"mousemove", "--sync", "567", "89"});
    s.xdotool({"keydown", "ctrl+8", "sleep", "0.03", "keyup", "ctrl+8"});
    EXPECT_TRUE(wait_until(
        [&] {
            return !s.xdotool({"search", "--name", "^信息提示窗口$"}).empty();
        },
        10s))
        << "the notice";
    EXPECT_TRUE(wait_until([&] { return s.clipboard() == "567*89"; }, 10s))
        << "clipboard: " << s.clipboard();
    EXPECT_FALSE(s.window_visible(kTitle));

    Process& second = s.start_keeprun();
    EXPECT_TRUE(wait_until([&] { return s.window_visible(kTitle); }, 20s));
    EXPECT_EQ(second.wait_exit(40s), std::optional<int>(0)) << "and still refuses to run";
    EXPECT_TRUE(first.running());
}

TEST_F(EndToEnd, ATrayStartedLaterTakesTheIconAndThenTheMinimisedWindow) {
    s.start_window_manager();
    s.serve(server_text(kTitle, ""));
    s.start_keeprun();
    ASSERT_TRUE(wait_until([&] { return s.window_visible(kTitle); }, 40s));
    const std::string found = s.xdotool({"search", "--onlyvisible", "--name", "^" + kTitle + "$"});
    const std::string window = found.substr(0, found.find('\n'));
    // The panel with the tray comes up after keeprun, as it may at login.
    s.start_tray();
    const int right = 1280;
    ASSERT_TRUE(wait_until([&] { return s.pixel(right - 12, 16) != "000000"; }, 10s))
        << "the icon is put in the tray";
    s.xdotool({"windowminimize", window});
    ASSERT_TRUE(wait_until([&] { return !s.window_visible(kTitle); }, 10s));
    s.click(right - 12, 16);
    EXPECT_TRUE(wait_until([&] { return s.window_visible(kTitle); }, 10s))
        << "a click on the icon brings the window back";
}

TEST_F(EndToEnd, NoMirrorAnsweringEndsWithTheNetworkMessage) {
    s.serve(server_text(kTitle, ""), {"--answer", "none"});
    Process& keeprun = s.start_keeprun();
    const unsigned long box = s.wait_window("温馨提示", 40s);
    ASSERT_NE(box, 0u);
    EXPECT_TRUE(s.x().windows_named(kTitle).empty());
    s.key_to(box, "Return");
    EXPECT_EQ(keeprun.wait_exit(10s), std::optional<int>(0));
}

TEST_F(EndToEnd, ALoginStartWaitsForTheNetworkAndUpdatesAnOlderAutostartEntry) {
    // The network comes up 40 s after keeprun: its tries at 15 s and 30 s fail too.
    s.serve(server_text(kTitle, ""), {"--down-for", "40"});
    const fs::path entry = s.config_folder() / "autostart" / "keeprun.desktop";
    const std::string program = (build_dir() / "keeprun").string();
    spit(entry, "[Desktop Entry]\nType=Application\nExec=" + program + "\n");
    s.start_keeprun({}, {"--login"});
    const unsigned long splash = s.wait_window("程序正在初始化", 20s);
    ASSERT_NE(splash, 0u);
    EXPECT_TRUE(s.shows_network_wait(splash, 20s));
    ASSERT_NE(s.wait_window(kTitle, 90s), 0u) << "start-up goes on once a mirror answers";
    EXPECT_NE(slurp(entry).find("Exec=" + program + " --login\n"), std::string::npos)
        << slurp(entry);
}

class ForcedUpgrade : public EndToEnd, public ::testing::WithParamInterface<bool> {};

TEST_P(ForcedUpgrade, OpensTheDownloadLinkAndEnds) {
    std::string text = server_text(kTitle, "");
    text.replace(text.find("20220210"), 8, "20220211");
    s.serve(text);
    Process& keeprun = s.start_keeprun();
    const unsigned long notice = s.wait_window("升级提示", 40s);
    ASSERT_NE(notice, 0u);
    if (GetParam())
        s.key_to(notice, "Return");
    else
        s.x().request_close(notice);
    EXPECT_EQ(keeprun.wait_exit(10s), std::optional<int>(0));
    EXPECT_TRUE(wait_until([&] { return s.opened_links() == "https://example.com/new\n"; }, 10s))
        << s.opened_links();
    EXPECT_TRUE(s.x().windows_named(kTitle).empty());
}

INSTANTIATE_TEST_SUITE_P(ByButtonOrCloseBox, ForcedUpgrade, ::testing::Bool(),
                         [](const auto& info) {
                             return std::string(info.param ? "Enter" : "CloseBox");
                         });

TEST_F(EndToEnd, AMalformedTextEndsWithoutAWordButOnStandardError) {
    s.serve("[biaoti]标题[biaoti]\r\n[banben]20220210[banben]\r\n");
    Process& keeprun = s.start_keeprun();
    std::set<std::string> seen;
    EXPECT_TRUE(wait_until(
        [&] {
            for (const std::string& t : s.x().titles())
                seen.insert(t);
            return !keeprun.running();
        },
        40s));
    EXPECT_EQ(keeprun.wait_exit(0s), std::optional<int>(1));
    seen.erase("程序正在初始化");
    EXPECT_TRUE(seen.empty()) << "shown: " << *seen.begin();
    const std::string said = slurp(s.root() / "keeprun1.log");
    EXPECT_NE(said.find("[tuichu]"), std::string::npos) << said;
    EXPECT_NE(said.find("every mirror of this build is on this machine"), std::string::npos)
        << said;
}

TEST_F(EndToEnd, ACloseRequestToTheSplashEndsAtOnce) {
    // Only the third mirror answers: start-up polls for about 4 s.
    s.serve(server_text(kTitle, ""), {"--answer", "3"});
    Process& keeprun = s.start_keeprun();
    const unsigned long splash = s.wait_window("程序正在初始化", 20s);
    ASSERT_NE(splash, 0u);
    s.x().request_close(splash);
    EXPECT_EQ(keeprun.wait_exit(20s), std::optional<int>(0));
    EXPECT_TRUE(s.x().windows_named(kTitle).empty()) << "start-up did not go on";
}

} // namespace
} // namespace keeprun::e2e
