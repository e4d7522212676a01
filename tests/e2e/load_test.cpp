// Ten minutes with all eight slots busy: four programs that end at once (a crash
// loop) and four restarted on the hour and half hour, keeprun's wall clock set a
// minute before a full hour. keeprun must stay responsive, keep its memory flat
// and keep its record within bounds. Opt-in: label "load".
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "session.h"
#include "system/codepage.h"
#include "system/settings_file.h"

namespace keeprun::e2e {
namespace {

const std::string kTitle = "负载测试的标题";
constexpr auto kRunLength = 10min;
// Where the cursor readout is painted (the main window sits at 0,0).
const std::string kReadout = "133x16+104+1";
// Points the pointer visits, away from every control and program window.
const std::pair<int, int> kPoints[] = {{1200, 900}, {1231, 955}, {1150, 987}, {1263, 1001}};

std::string second_kind(const std::string& path, const std::string& rule) {
    return path + "[*]8[*]3[*]3[*]3[*][*][*][*][*]1[*]0[*]" + rule + "[*]20:01:00[*][*][*]";
}

std::string first_kind(const std::string& path) {
    return path + "[*]1[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
}

// keeprun itself, started by the faketime wrapper `parent`; -1 until it runs.
int child_keeprun(int parent) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code error;
        if (fs::read_symlink(entry.path() / "exe", error) != build_dir() / "keeprun") continue;
        const std::string stat = slurp(entry.path() / "stat");
        const auto close = stat.rfind(')');
        if (close != std::string::npos &&
            std::stoi(stat.substr(stat.find(' ', close + 2) + 1)) == parent)
            return std::stoi(pid);
    }
    return -1;
}

long rss_kib(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

TEST(Load, TenMinutesOfCrashLoopsAndHourlyRestarts) {
    Session s;
    std::string ini = "[cx1]\r\n";
    for (int n = 1; n <= 4; ++n) {
        // A program that ends at once.
        const fs::path quitter = s.root() / "programs" / ("quits" + std::to_string(n));
        fs::copy_file("/bin/true", quitter);
        ini += std::to_string(n) + "=" + first_kind(quitter.string()) + "\r\n";
    }
    ini += "[cx2]\r\n";
    std::vector<std::string> restarted;
    for (int n = 1; n <= 4; ++n) {
        restarted.push_back(s.install_target("restarted" + std::to_string(n)));
        ini += std::to_string(n) + "=" +
               second_kind(restarted.back(), n <= 2 ? "整点重启" : "整点和半点重启") + "\r\n";
    }
    s.write_data_ini(ini);
    std::vector<std::string> seeded;
    for (int i = 0; i < 990; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "09:%02d:%02d 打开程序%d", i / 60 % 60, i % 60, i % 8 + 1);
        seeded.push_back(line);
    }
    spit(s.data_folder() / "jilu.txt", cp936_encode(record_file_text(seeded)));

    s.serve(server_text(kTitle, ""));
    s.set_env("FAKETIME_DONT_FAKE_MONOTONIC", "1");
    const auto started = std::chrono::steady_clock::now();
    Process& keeprun = s.start_keeprun({"faketime", "-f", "@2026-12-08 10:59:00"});
    const unsigned long window = s.wait_window(kTitle, 40s);
    ASSERT_NE(window, 0u);
    const int keeprun_pid = child_keeprun(keeprun.pid());
    ASSERT_GT(keeprun_pid, 0);
    s.click(kAnnouncementButtonX, kAnnouncementButtonY);

    const auto readout = [&] {
        return run_capture({"import", "-window", "root", "-crop", kReadout, "-depth", "8", "rgb:-"},
                           {{"PATH", "/usr/bin:/bin"}, {"DISPLAY", s.display()}});
    };
    const auto point_at = [&](std::size_t k) {
        s.xdotool({"mousemove", "--sync", std::to_string(kPoints[k].first),
                   std::to_string(kPoints[k].second)});
    };
    // What the readout shows at each point, learnt while keeprun is fresh: a
    // readout that changes with every move and settles.
    std::vector<std::string> shown;
    std::string last = readout();
    for (std::size_t k = 0; k < std::size(kPoints); ++k) {
        point_at(k);
        ASSERT_TRUE(wait_until([&] { return readout() != last; }, 10s)) << "point " << k;
        last = readout();
        shown.push_back(last);
    }

    long rss_minute_1 = -1;
    int checks = 0, missed = 0;
    for (std::size_t k = 0; std::chrono::steady_clock::now() - started < kRunLength;
         k = (k + 1) % std::size(kPoints)) {
        point_at(k);
        if (!wait_until([&] { return readout() == shown[k]; }, 10s)) ++missed;
        ++checks;
        if (rss_minute_1 < 0 && std::chrono::steady_clock::now() - started >= 1min)
            rss_minute_1 = rss_kib(keeprun_pid);
        ASSERT_TRUE(keeprun.running());
    }
    const long rss_minute_10 = rss_kib(keeprun_pid);
    std::printf("readout checks %d, missed %d; RSS minute 1 %ld KiB, minute 10 %ld KiB\n", checks,
                missed, rss_minute_1, rss_minute_10);
    EXPECT_EQ(missed, 0) << "the readout followed the pointer every time";
    EXPECT_LT(rss_minute_10, rss_minute_1 + rss_minute_1 / 4) << "memory stays flat";

    s.x().request_close(window);
    const unsigned long ask = s.wait_window("关闭确认", 20s);
    ASSERT_NE(ask, 0u);
    s.key_to(ask, "Return");
    ASSERT_EQ(keeprun.wait_exit(30s), std::optional<int>(0));

    const auto lines = crlf_lines(cp936_decode(slurp(s.data_folder() / "jilu.txt")));
    EXPECT_EQ(lines.size(), 2001u);
    std::size_t kept = 0, hourly = 0;
    for (const std::string& line : lines) {
        if (!line.empty()) ++kept;
        if (line.rfind("11:00:", 0) == 0 && line.find("关闭程序") != std::string::npos) ++hourly;
    }
    std::printf("record lines kept %zu, closings at 11:00 %zu\n", kept, hourly);
    EXPECT_EQ(kept, 1000u) << "the list holds at most 1000 lines and the cap was crossed";
    EXPECT_NE(lines.front(), seeded.front()) << "the oldest lines went first";
    EXPECT_EQ(hourly, 4u) << "each second-kind slot closed its program once on the hour";
}

} // namespace
} // namespace keeprun::e2e
