// The real keeprun meeting faults: mirrors that stall or answer wrongly, a data
// folder it cannot write, a kill in the middle of a save, files of random bytes.
// Each test checks what the user sees and what is kept.
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <set>

#include "fault_server.h"
#include "net/mirrors.h"
#include "private_mounts.h"
#include "session.h"
#include "system/codepage.h"
#include "system/files.h"
#include "system/settings_file.h"

namespace keeprun::e2e {
namespace {

const std::string kTitle = "故障测试的标题";
// The port of the first mirror's compiled-in address, "http://host:port/...".
int first_mirror_port() {
    const std::string& url = mirror_base_urls()[0];
    return std::stoi(url.substr(url.rfind(':') + 1));
}

// A first-kind slot that keeps `path` running, no clicks.
std::string watch(const std::string& path) {
    return path + "[*]1[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
}

std::string random_bytes(std::size_t count, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(count, '\0');
    for (char& c : out)
        c = static_cast<char>(byte(gen));
    return out;
}

bool has_line(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

// Names of the files in `folder`.
std::set<std::string> file_names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class Faults : public ::testing::Test {
  protected:
    unsigned long main_window() { return s.wait_window(kTitle, 40s); }
    void dismiss_announcement() { s.click(kAnnouncementButtonX, kAnnouncementButtonY); }
    void ask_close(unsigned long window) {
        s.x().request_close(window);
        const unsigned long ask = s.wait_window("关闭确认", 10s);
        ASSERT_NE(ask, 0u) << "no close confirmation";
        s.key_to(ask, "Return");
    }
    fs::path ini() const { return s.data_folder() / "data.ini"; }
    fs::path record() const { return s.data_folder() / "jilu.txt"; }
    // A data.ini with one watched program and a record of three lines.
    void seed_data(const std::string& target) {
        seeded_ini = cp936_encode("[gx]\r\n0=0\r\n[cx1]\r\n1=" + watch(target) + "\r\n");
        seeded_record = cp936_encode(
            record_file_text({"08:00:00 打开程序1", "08:30:00 关闭程序5", "08:30:03 打开程序5"}));
        spit(ini(), seeded_ini);
        spit(record(), seeded_record);
    }
    // Titles of the windows mapped until keeprun ends within `limit`.
    std::set<std::string> titles_until_exit(Process& keeprun, std::chrono::milliseconds limit) {
        std::set<std::string> seen;
        wait_until(
            [&] {
                // A window gone between the listing and the read of its title reads "".
                for (const std::string& t : s.x().titles())
                    if (!t.empty()) seen.insert(t);
                return !keeprun.running();
            },
            limit);
        return seen;
    }

    Session s;
    std::string seeded_ini, seeded_record;
};

// ---- Mirrors ----

TEST_F(Faults, EveryMirrorStallingEndsWithTheNetworkMessage) {
    s.serve(server_text(kTitle, ""), {"--delay", "1=120", "--delay", "2=120", "--delay", "3=120"});
    Process& keeprun = s.start_keeprun();
    const unsigned long box = s.wait_window("温馨提示", 40s);
    ASSERT_NE(box, 0u) << "the network failure is said while the mirrors still stall";
    EXPECT_TRUE(s.x().windows_named(kTitle).empty());
    s.key_to(box, "Return");
    EXPECT_EQ(keeprun.wait_exit(10s), std::optional<int>(0))
        << "a stalled request does not hold the end of the program";
}

// What the first mirror answers; the second one answers well.
struct BadAnswer {
    const char* name;
    std::string (*reply)();
};

// A complete configuration text whose title would show that it was taken.
std::string taken_text() {
    return cp936_encode(server_text("不该采用的标题", "公告"));
}

const BadAnswer kBadAnswers[] = {
    {"Garbage", [] { return random_bytes(3000, 7); }},
    {"GarbageAfterAStatusLine", [] { return "HTTP/1.1 200 OK\r\n" + random_bytes(3000, 8); }},
    {"APortalPageInsteadOfTheText",
     [] {
         const std::string page = "<html><head><title>Wi-Fi</title></head><body>请先登录后上网，"
                                  "Please sign in to the network first.</body></html>";
         return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                std::to_string(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
     }},
    {"TruncatedBody",
     [] {
         const std::string body = taken_text();
         return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size() + 500) +
                "\r\nConnection: close\r\n\r\n" + body;
     }},
    {"TruncatedChunks",
     [] {
         const std::string body = taken_text();
         char size[16];
         std::snprintf(size, sizeof size, "%zx", body.size() + 500);
         return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
                std::string(size) + "\r\n" + body;
     }},
    {"OversizedBody",
     [] {
         const std::string body = taken_text() + std::string(1024 * 1024, ' ');
         return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n\r\n" + body;
     }},
    {"OversizedBodyOfUnknownLength",
     [] {
         return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + taken_text() +
                std::string(1024 * 1024, ' ');
     }},
};

void PrintTo(const BadAnswer& a, std::ostream* os) {
    *os << a.name;
}

class BadFirstMirror : public Faults, public ::testing::WithParamInterface<BadAnswer> {};

TEST_P(BadFirstMirror, IsPassedOverForTheSecond) {
    FaultServer bad(first_mirror_port(), GetParam().reply());
    s.serve(server_text(kTitle, ""), {"--answer", "2,3"});
    Process& keeprun = s.start_keeprun();
    EXPECT_NE(main_window(), 0u) << "the second mirror's text is taken";
    EXPECT_GE(bad.answered(), 1) << "the first mirror was asked";
    EXPECT_TRUE(s.x().windows_named("不该采用的标题").empty());
    EXPECT_TRUE(keeprun.running());
}

INSTANTIATE_TEST_SUITE_P(Answers, BadFirstMirror, ::testing::ValuesIn(kBadAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Faults, AGarbageTextEndsWithoutAWordAndTouchesNoFile) {
    const std::string target = s.install_target("untouched");
    seed_data(target);
    // A title, then garbage: a configuration, but a broken one.
    spit(s.root() / "mirror" / "garbage.txt", "[biaoti]" + random_bytes(4000, 9));
    s.serve(server_text(kTitle, ""), {"--list", "1=garbage.txt"});
    Process& keeprun = s.start_keeprun();
    std::set<std::string> seen = titles_until_exit(keeprun, 40s);
    EXPECT_EQ(keeprun.wait_exit(0s), std::optional<int>(1));
    seen.erase("程序正在初始化");
    EXPECT_TRUE(seen.empty()) << "shown: " << *seen.begin();
    EXPECT_EQ(slurp(ini()), seeded_ini);
    EXPECT_EQ(slurp(record()), seeded_record);
    EXPECT_TRUE(started_pids(target).empty());
}

// ---- The data folder at save ----

enum class Disk { ReadOnly, Full };

void PrintTo(Disk d, std::ostream* os) {
    *os << (d == Disk::Full ? "Full" : "ReadOnly");
}

class DiskAtSave : public Faults, public ::testing::WithParamInterface<Disk> {
  protected:
    // Taken away before the session removes its folders.
    ~DiskAtSave() override {
        if (mounted) unmount(s.data_folder().string());
    }
    bool mounted = false;
};

TEST_P(DiskAtSave, SaysSoAndLeavesThePreviousFiles) {
    const std::string why = enter_private_mounts();
    if (!why.empty()) {
        GTEST_SKIP() << "no mount namespace for a disk fault: " << why;
    }
    const std::string folder = s.data_folder().string();
    fs::create_directories(folder);
    if (GetParam() == Disk::Full) {
        ASSERT_EQ(mount_small_disk(folder, 256 * 1024), "");
        mounted = true;
    }
    const std::string target = s.install_target("watched");
    seed_data(target);
    if (GetParam() == Disk::ReadOnly) {
        ASSERT_EQ(make_read_only(folder), "");
        mounted = true;
    }

    s.serve(server_text(kTitle, ""));
    Process& keeprun = s.start_keeprun();
    const unsigned long window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s))
        << "the record gained a line, so a save would change jilu.txt";
    if (GetParam() == Disk::Full) {
        ASSERT_TRUE(fill_up(folder));
    }
    const std::set<std::string> files_before = file_names(folder);

    ask_close(window);
    const unsigned long warning = s.wait_window("错误提示", 10s);
    ASSERT_NE(warning, 0u) << "the failed save is said";
    EXPECT_TRUE(keeprun.running()) << "keeprun waits until the warning is read";
    s.key_to(warning, "Return");
    EXPECT_EQ(keeprun.wait_exit(10s), std::optional<int>(0));

    EXPECT_EQ(slurp(ini()), seeded_ini);
    EXPECT_EQ(slurp(record()), seeded_record);
    EXPECT_EQ(file_names(folder), files_before) << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Faults, DiskAtSave, ::testing::Values(Disk::ReadOnly, Disk::Full),
                         [](const auto& info) {
                             return std::string(info.param == Disk::Full ? "Full" : "ReadOnly");
                         });

// ---- A kill in the middle of a save ----

// Where the option box "打开本软件时最小化." can be clicked.
constexpr int kOptionBoxX = 892;
constexpr int kOptionBoxY = 9;

// keeprun is killed when it is about to put this file of its save in place:
// the first or the second replacement of the run (data.ini, then jilu.txt).
struct KillPoint {
    const char* name;
    const char* replacement;
};

class KilledWhileSaving : public Faults, public ::testing::WithParamInterface<KillPoint> {};

TEST_P(KilledWhileSaving, LeavesWholeFiles) {
    const std::string target = s.install_target("watched");
    seed_data(target);
    s.serve(server_text(kTitle, ""));
    // A first run stores the client key and saves, so the next run replaces
    // nothing before its save.
    Process& first = s.start_keeprun();
    unsigned long window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    ask_close(window);
    ASSERT_EQ(first.wait_exit(15s), std::optional<int>(0));
    const std::string saved_ini = slurp(ini());
    const std::string saved_record = slurp(record());
    ::kill(started_pids(target).front(), SIGKILL);

    Process& killed = s.start_keeprun(
        {"strace", "-qqq", "-o", "/dev/null", "-e", "trace=rename,renameat,renameat2", "-e",
         std::string("inject=rename,renameat,renameat2:signal=KILL:when=") +
             GetParam().replacement});
    window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 2; }, 15s))
        << "the record gains a line";
    s.click(kOptionBoxX, kOptionBoxY);
    ask_close(window);
    ASSERT_EQ(killed.wait_exit(20s), std::optional<int>(128 + SIGKILL));

    if (std::string(GetParam().replacement) == "1") {
        EXPECT_EQ(slurp(ini()), saved_ini);
    } else {
        EXPECT_EQ(read_ini("gx", "0", ini().string()), "1") << "data.ini is the new save";
        EXPECT_EQ(read_ini("cx1", "1", ini().string()), watch(target));
    }
    EXPECT_EQ(slurp(record()), saved_record);
    const auto lines = crlf_lines(cp936_decode(saved_record));
    EXPECT_EQ(lines.size(), 2001u);
    EXPECT_TRUE(has_line(lines, "08:30:03 打开程序5"));
}

const KillPoint kKillPoints[] = {{"DataIni", "1"}, {"Jilu", "2"}};

INSTANTIATE_TEST_SUITE_P(Files, KilledWhileSaving, ::testing::ValuesIn(kKillPoints),
                         [](const auto& info) { return std::string(info.param.name); });

void PrintTo(const KillPoint& p, std::ostream* os) {
    *os << p.name;
}

// ---- The session ends under keeprun ----

// A signal that ends the session, or 0: the X server goes away.
struct SessionEnd {
    const char* name;
    int signal;
};

class SessionEnds : public Faults, public ::testing::WithParamInterface<SessionEnd> {};

TEST_P(SessionEnds, SavesAsAConfirmedCloseDoes) {
    const std::string target = s.install_target("watched");
    s.write_data_ini("[cx1]\r\n1=" + watch(target) + "\r\n");
    s.serve(server_text(kTitle, "", "https://example.com/bye"));
    Process& keeprun = s.start_keeprun();
    ASSERT_NE(main_window(), 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    if (GetParam().signal)
        ::kill(keeprun.pid(), GetParam().signal);
    else
        s.end_display();
    ASSERT_TRUE(keeprun.wait_exit(15s));
    EXPECT_EQ(read_ini("cx1", "1", ini().string()), watch(target));
    EXPECT_EQ(read_ini("gx", "0", ini().string()), "0") << "data.ini was saved";
    EXPECT_TRUE(has_line(crlf_lines(cp936_decode(slurp(record()))), " 打开程序1"));
    EXPECT_EQ(s.opened_links(), "");
}

const SessionEnd kSessionEnds[] = {
    {"Term", SIGTERM}, {"Hangup", SIGHUP}, {"Interrupt", SIGINT}, {"DisplayGone", 0}};

INSTANTIATE_TEST_SUITE_P(Ends, SessionEnds, ::testing::ValuesIn(kSessionEnds),
                         [](const auto& info) { return std::string(info.param.name); });

void PrintTo(const SessionEnd& e, std::ostream* os) {
    *os << e.name;
}

// A desktop session's logout through its session manager: save, then quit.
TEST_F(Faults, ASessionManagersLogoutSavesAndEndsWithoutAsking) {
    const std::string target = s.install_target("watched");
    s.write_data_ini("[cx1]\r\n1=" + watch(target) + "\r\n");
    s.serve(server_text(kTitle, "", "https://example.com/bye"));
    const fs::path log = s.root() / "session-manager.log";
    Process manager({(build_dir() / "keeprun-e2e-session-manager").string()},
                    {{"HOME", (s.root() / "home").string()}}, log);
    const auto said = [&](const std::string& line) {
        return slurp(log).find(line) != std::string::npos;
    };
    ASSERT_TRUE(wait_until([&] { return said("listening "); }, 10s)) << slurp(log);
    const std::string text = slurp(log);
    const auto at = text.find("listening ") + 10;
    s.set_env("SESSION_MANAGER", text.substr(at, text.find('\n', at) - at));
    Process& keeprun = s.start_keeprun();
    ASSERT_NE(main_window(), 0u);
    dismiss_announcement();
    ASSERT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s));
    ASSERT_TRUE(said("registered")) << slurp(log);
    fs::remove(ini());
    fs::remove(record());

    ::kill(manager.pid(), SIGUSR1);
    ASSERT_EQ(keeprun.wait_exit(15s), std::optional<int>(0))
        << "ends without the close question; the manager saw:\n"
        << slurp(log);
    EXPECT_TRUE(said("saved 1"));
    EXPECT_FALSE(said("interact-request")) << "no question for the user";
    EXPECT_TRUE(said("restart-hint 3")) << "not restarted by the session (its autostart does that)";
    EXPECT_EQ(read_ini("cx1", "1", ini().string()), watch(target));
    EXPECT_TRUE(has_line(crlf_lines(cp936_decode(slurp(record()))), " 打开程序1"));
    EXPECT_EQ(s.opened_links(), "");
}

// ---- Files of random bytes ----

TEST_F(Faults, RandomBytesInDataIniAndJiluKeepWhatCanBeRead) {
    const std::string target = s.install_target("kept");
    // Each readable part follows a byte that starts a two-byte character, so a
    // reader that swallowed the next byte would lose the line break before it.
    const std::string lead = "\x81";
    spit(ini(), random_bytes(20000, 1) + lead + "\r\n[cx1]\r\n1=" + cp936_encode(watch(target)) +
                    "\r\n" + random_bytes(20000, 2));
    spit(record(), random_bytes(20000, 3) + lead + "\r\n" + cp936_encode("07:59:59 打开程序3") +
                       "\r\n" + random_bytes(3000, 4));
    s.serve(server_text(kTitle, ""));
    Process& keeprun = s.start_keeprun();
    const unsigned long window = main_window();
    ASSERT_NE(window, 0u);
    dismiss_announcement();
    EXPECT_TRUE(wait_until([&] { return started_pids(target).size() == 1; }, 15s))
        << "the readable slot setting was taken";
    ask_close(window);
    ASSERT_EQ(keeprun.wait_exit(15s), std::optional<int>(0));

    EXPECT_EQ(read_ini("cx1", "1", ini().string()), watch(target));
    EXPECT_EQ(read_ini("gx", "0", ini().string()), "0");
    const auto lines = crlf_lines(cp936_decode(slurp(record())));
    EXPECT_EQ(lines.size(), 2001u);
    EXPECT_TRUE(has_line(lines, "07:59:59 打开程序3"));
    EXPECT_TRUE(has_line(lines, " 打开程序1"));
}

} // namespace
} // namespace keeprun::e2e
