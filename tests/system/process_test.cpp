#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "system/posix/process_posix.h"
#include "system/process.h"
#include "system/program_pins.h"
#include "system/single_instance.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"

extern char** environ;

namespace keeprun {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::wait_until;

std::vector<long> pids_running(const std::string& exe) {
    std::vector<ProcessRow> table;
    list_processes(table);
    std::vector<long> pids;
    for (const auto& row : table)
        if (row.exe == exe) pids.push_back(row.pid);
    return pids;
}

std::string proc_text(long pid, const char* file) {
    return testing::slurp("/proc/" + std::to_string(pid) + "/" + file);
}

// Alive with no signal pending: a kill marks its SIGKILL pending at once, so
// this proves that none was sent.
bool untouched(long pid) {
    const std::string status = proc_text(pid, "status");
    return status.find("State:\tZ") == std::string::npos &&
           status.find("ShdPnd:\t0000000000000000") != std::string::npos &&
           status.find("SigPnd:\t0000000000000000") != std::string::npos;
}

// Runs `body` in a child whose pidfd_open fails with ENOSYS, as on kernels
// before 5.3; true when the child got that far and ended well.
bool without_pidfds(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_pidfd_open, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(2);
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Test programs live in their own folder; whatever is left running is killed.
class RealProcesses : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const auto& p : programs_)
            close_program(p);
        for (pid_t child : children_) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    }

    std::string copy_program(const std::string& name) {
        const std::string path = dir_.file(name);
        fs::copy_file(IDLE_PROGRAM, path, fs::copy_options::overwrite_existing);
        programs_.push_back(path);
        return path;
    }

    std::string write_script(const std::string& name, const std::string& text) {
        const std::string path = dir_.file(name);
        testing::spit(path, text);
        fs::permissions(path, fs::perms::owner_all);
        programs_.push_back(path);
        return path;
    }

    // Runs argv as a child of the test (not detached), to be killed at the end.
    pid_t spawn(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        children_.push_back(pid);
        return pid;
    }

    bool running(const std::string& path, const ExeAliasTable& aliases = {}) {
        return is_program_running(path, aliases) == 1;
    }

    TempDir dir_;
    std::vector<std::string> programs_;
    std::vector<pid_t> children_;
};

TEST_F(RealProcesses, StartedProgramIsDetachedAndCleanlyEquipped) {
    const std::string prog = copy_program("prog");
    ASSERT_FALSE(running(prog));
    signal(SIGUSR1, SIG_IGN); // must not reach the started program
    ASSERT_TRUE(open_program(prog, {"-w \"a b\"", ""}));
    signal(SIGUSR1, SIG_DFL);
    ASSERT_TRUE(wait_until([&] { return running(prog); }));
    const auto pids = pids_running(prog);
    ASSERT_EQ(pids.size(), 1u);
    const long pid = pids.front();

    EXPECT_EQ(proc_text(pid, "cmdline"), prog + std::string("\0-w\0a b\0", 8))
        << "argv is the path and the shortcut's arguments";
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/cwd"), dir_.path())
        << "started in its own folder";
    // A sanitizer build of the program opens files of its own while it starts up;
    // a descriptor handed down by keeprun would stay open for good.
    std::vector<std::string> fds;
    const std::vector<std::string> standard{"0", "1", "2"};
    wait_until([&] {
        fds.clear();
        for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd"))
            fds.push_back(e.path().filename());
        std::sort(fds.begin(), fds.end());
        return fds == standard;
    });
    EXPECT_EQ(fds, standard);
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/fd/0"), "/dev/null");

    const std::string status = proc_text(pid, "status");
    EXPECT_NE(status.find("SigIgn:\t0000000000000000"), std::string::npos) << status;
    EXPECT_NE(status.find("SigBlk:\t0000000000000000"), std::string::npos) << status;
    EXPECT_EQ(status.find("PPid:\t" + std::to_string(getpid()) + "\n"), std::string::npos)
        << "not a child of keeprun";
    // Its own session, so a terminal closing in keeprun's session leaves it alone.
    EXPECT_NE(getsid(static_cast<pid_t>(pid)), getsid(0));
}

TEST_F(RealProcesses, OpenReportsAProgramThatCannotStart) {
    EXPECT_FALSE(open_program(dir_.file("missing")));
    // Without a "#!" line only a shell would run it, and no shell is involved.
    EXPECT_FALSE(open_program(write_script("plain.txt", "echo not a program\n")));
    fs::permissions(dir_.file("plain.txt"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(open_program(dir_.file("plain.txt")));
    EXPECT_FALSE(open_program(""));
    EXPECT_FALSE(open_program(copy_program("homeless"), {"", dir_.file("gone")}))
        << "a start folder that is gone";
}

TEST_F(RealProcesses, AShortcutsStartFolderIsWhereTheProgramStarts) {
    const std::string prog = copy_program("elsewhere");
    fs::create_directory(dir_.file("data"));
    ProgramPins pins;
    EXPECT_EQ(pins.open(prog, {"", dir_.file("data")}), StartOutcome::started);
    ASSERT_TRUE(wait_until([&] { return pids_running(prog).size() == 1; }));
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pids_running(prog).front()) + "/cwd"),
              dir_.file("data"));
    EXPECT_EQ(pins.open(dir_.file("missing"), {}), StartOutcome::failed);
}

TEST_F(RealProcesses, OneCloseEndsEveryInstance) {
    const std::string prog = copy_program("twice");
    const std::string other = copy_program("other");
    ASSERT_TRUE(open_program(prog));
    ASSERT_TRUE(open_program(prog));
    ASSERT_TRUE(open_program(other));
    ASSERT_TRUE(wait_until([&] { return pids_running(prog).size() == 2; }));
    ASSERT_TRUE(wait_until([&] { return running(other); }));
    close_program(prog);
    EXPECT_TRUE(wait_until([&] { return !running(prog); }));
    EXPECT_TRUE(running(other)) << "a program in the same folder is left alone";
}

TEST_F(RealProcesses, ScriptsAreRecognisedThroughTheirInterpreter) {
    const std::string loop = "while :; do sleep 1; done\n";
    const std::string job = write_script("job.sh", "#!/bin/sh\n" + loop);
    const std::string env_job = write_script("env-job.sh", "#!/usr/bin/env sh\n" + loop);
    const std::string opt_job = write_script("opt-job.sh", "#!/bin/sh -u\n" + loop);

    // Holding the file open or running another script is not running it.
    spawn({"/usr/bin/tail", "-f", job});
    spawn({"/bin/sh", write_script("other.sh", "#!/bin/sh\n" + loop)});
    ASSERT_TRUE(wait_until([&] { return running(dir_.file("other.sh")); }));
    EXPECT_FALSE(running(job));

    for (const std::string& script : {job, env_job, opt_job}) {
        ASSERT_TRUE(open_program(script)) << script;
        EXPECT_TRUE(wait_until([&] { return running(script); })) << script;
        close_program(script);
        EXPECT_TRUE(wait_until([&] { return !running(script); })) << script;
    }
    EXPECT_TRUE(running(dir_.file("other.sh")));

    // env finds its program on the system's default path when PATH is unset.
    const std::string path = getenv("PATH");
    unsetenv("PATH");
    const bool started = open_program(env_job);
    const bool seen = wait_until([&] { return running(env_job); });
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(started && seen);

    // Started by hand with a relative path from the script's folder.
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir_.path().c_str()) == 0) execl("/bin/sh", "sh", "job.sh", nullptr);
        _exit(127);
    }
    children_.push_back(child);
    EXPECT_TRUE(wait_until([&] { return running(job); }));
}

TEST_F(RealProcesses, AProgramReplacedOnDiskStillCounts) {
    const std::string prog = copy_program("upgraded");
    ASSERT_TRUE(open_program(prog));
    ASSERT_TRUE(wait_until([&] { return running(prog); }));
    fs::copy_file(IDLE_PROGRAM, prog + ".new");
    fs::rename(prog + ".new", prog);
    EXPECT_TRUE(running(prog));
    close_program(prog);
    EXPECT_TRUE(wait_until([&] { return !running(prog); }));
}

TEST_F(RealProcesses, ZombiesDoNotCount) {
    const std::string prog = copy_program("zombie");
    const pid_t child = spawn({prog});
    ASSERT_TRUE(wait_until([&] { return running(prog); }));
    kill(child, SIGKILL);
    // Not reaped yet: the child stays a zombie until TearDown.
    ASSERT_TRUE(
        wait_until([&] { return proc_text(child, "stat").find(") Z ") != std::string::npos; }));
    EXPECT_FALSE(running(prog));
}

TEST_F(RealProcesses, AliasRowsCountOnlyForTheRunningCheck) {
    fs::create_directory(dir_.file("games"));
    const std::string launcher = copy_program("games/Launcher.bin");
    const std::string game = copy_program("games/game.BIN");
    const std::string elsewhere = copy_program("game.bin");
    const ExeAliasTable aliases = {{"LAUNCHER.BIN", "GAME.BIN"}};

    ASSERT_TRUE(open_program(elsewhere));
    ASSERT_TRUE(wait_until([&] { return running(elsewhere); }));
    EXPECT_FALSE(running(launcher, aliases)) << "the folder stays the launcher's";

    ASSERT_TRUE(open_program(launcher));
    ASSERT_TRUE(wait_until([&] { return running(launcher); }));
    EXPECT_FALSE(running(launcher, aliases)) << "with an alias only the alias counts";

    ASSERT_TRUE(open_program(game));
    EXPECT_TRUE(wait_until([&] { return running(launcher, aliases); }));
    // A keep-alive check pins the game through the alias; a timed close of the
    // launcher, sharing that pin, must leave the game alone.
    ProgramPins pins;
    ASSERT_TRUE(pins.is_running(launcher, aliases));
    const long game_pid = pids_running(game).front();
    pins.close(launcher);
    EXPECT_TRUE(wait_until([&] { return !running(launcher); }));
    EXPECT_TRUE(running(game));
    EXPECT_TRUE(untouched(game_pid)) << proc_text(game_pid, "status");
}

TEST_F(RealProcesses, WithoutPidfdsAKillSparesAnIdThatBeganAnotherProcess) {
    const std::string prog = copy_program("old-kernel");
    ASSERT_TRUE(open_program(prog));
    ASSERT_TRUE(wait_until([&] { return pids_running(prog).size() == 1; }));
    std::vector<ProcessRow> table;
    list_processes(table);
    const auto row = std::find_if(table.begin(), table.end(),
                                  [&](const ProcessRow& r) { return r.exe == prog; });
    ASSERT_NE(row, table.end());
    ASSERT_NE(row->start_time, 0u);
    // The same id and executable, but a process begun later than the one seen.
    ProcessRow reused = *row;
    ++reused.start_time;
    ASSERT_TRUE(without_pidfds([&] { kill_checked(reused); }));
    EXPECT_TRUE(untouched(row->pid)) << proc_text(row->pid, "status");
    ASSERT_TRUE(without_pidfds([&] { kill_checked(*row); }));
    EXPECT_TRUE(wait_until([&] { return pids_running(prog).empty(); }));
}

TEST_F(RealProcesses, OtherUsersProgramsAreNeitherSeenNorClosed) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to run a program as another user";
    fs::permissions(dir_.path(), fs::perms::all);
    const std::string prog = copy_program("shared");
    fs::permissions(prog, fs::perms::all);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) == 0 && setuid(65534) == 0) execl(prog.c_str(), prog.c_str(), nullptr);
        _exit(127);
    }
    children_.push_back(child);
    ASSERT_TRUE(wait_until([&] {
        return fs::exists("/proc/" + std::to_string(child) + "/exe") &&
               proc_text(child, "status").find("Uid:\t65534") != std::string::npos &&
               fs::read_symlink("/proc/" + std::to_string(child) + "/exe") == prog;
    }));
    EXPECT_FALSE(running(prog));
    close_program(prog);
    EXPECT_EQ(kill(child, 0), 0) << "still alive";
    EXPECT_EQ(proc_text(child, "stat").find(") Z "), std::string::npos);
}

bool ended(long pid) {
    return kill(static_cast<pid_t>(pid), 0) != 0 ||
           proc_text(pid, "stat").find(") Z ") != std::string::npos;
}

TEST_F(RealProcesses, APinnedProgramIsAnsweredFromItsPinUntilItEnds) {
    const std::string prog = copy_program("pinned");
    ProgramPins pins;
    ASSERT_EQ(pins.open(prog, {}), StartOutcome::started);
    ASSERT_TRUE(wait_until([&] { return pids_running(prog).size() == 1; }));
    const long pid = pids_running(prog).front();
    EXPECT_TRUE(pins.is_running(prog, {}));
    kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(wait_until([&] { return ended(pid); }));
    EXPECT_FALSE(pins.is_running(prog, {})) << "noticed at the first check after its end";

    // Found by a walk rather than started: pinned all the same.
    ASSERT_TRUE(open_program(prog));
    EXPECT_TRUE(wait_until([&] { return pins.is_running(prog, {}); }));
    pins.close(prog);
    EXPECT_TRUE(wait_until([&] { return !pins.is_running(prog, {}); }));
}

TEST_F(RealProcesses, AnIdBecomingAnotherProgramCountsOnlyWhenKeeprunStartedIt) {
    const std::string real = copy_program("real");
    // Launchers that become the real program once the flag file exists.
    const std::string wait_then_exec = "#!/bin/sh\nwhile [ ! -e " + dir_.file("flag") +
                                       " ]; do sleep 0.05; done\nexec " + real + "\n";
    const std::string started = write_script("started.sh", wait_then_exec);
    const std::string found = write_script("found.sh", wait_then_exec);

    ProgramPins pins;
    ASSERT_EQ(pins.open(started, {}), StartOutcome::started);
    spawn({found});
    ASSERT_TRUE(wait_until([&] { return running(started) && running(found); }));
    EXPECT_TRUE(pins.is_running(started, {}));
    EXPECT_TRUE(pins.is_running(found, {}));

    testing::spit(dir_.file("flag"), "");
    ASSERT_TRUE(wait_until([&] { return pids_running(real).size() == 2; }));
    EXPECT_TRUE(pins.is_running(started, {})) << "what keeprun started stays the launcher's";
    EXPECT_FALSE(pins.is_running(found, {})) << "the same id running another program is not it";

    pins.close(started);
    EXPECT_TRUE(wait_until([&] { return pids_running(real).size() == 1; }))
        << "closing ends the started launcher that became the real program";
    EXPECT_FALSE(pins.is_running(started, {}));
}

TEST_F(RealProcesses, InstanceLockIsFreeOnceItsHolderExits) {
    const std::string lock_path = dir_.file("keeprun.lock");
    const std::string prog = copy_program("survivor");
    const pid_t holder = fork();
    if (holder == 0) {
        InstanceLock lock(lock_path);
        _exit(lock.held() && open_program(prog) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(wait_until([&] { return running(prog); }));
    InstanceLock next(lock_path);
    EXPECT_TRUE(next.held());
    EXPECT_TRUE(running(prog)) << "the program outlives the instance that started it";
}

} // namespace
} // namespace keeprun
