// How long one running check takes with many processes about: a full walk,
// and a check answered by a pinned live process, beside the least any /proc
// walk costs (list /proc, read one link per process).
// Run: build/bench/process_query_bench  (or bench/process_query for the table)
#include <benchmark/benchmark.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "system/process.h"
#include "system/program_pins.h"

namespace {

constexpr const char* kSleep = "/usr/bin/sleep";

// Extra processes of this user; they die with the benchmark whichever way it ends.
class Crowd {
  public:
    ~Crowd() { resize(0); }

    void resize(std::size_t n) {
        while (pids_.size() > n) {
            kill(pids_.back(), SIGKILL);
            waitpid(pids_.back(), nullptr, 0);
            pids_.pop_back();
        }
        const pid_t parent = getpid();
        while (pids_.size() < n) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (getppid() != parent) _exit(1);
                execl(kSleep, kSleep, "infinity", static_cast<char*>(nullptr));
                _exit(127);
            }
            if (pid < 0) break;
            pids_.push_back(pid);
        }
        // Measure only once every one of them runs the sleep program.
        for (pid_t pid : pids_) {
            const std::string link = "/proc/" + std::to_string(pid) + "/exe";
            char buf[PATH_MAX];
            for (;;) {
                const ssize_t len = readlink(link.c_str(), buf, sizeof buf);
                if (len > 0 && std::string(buf, static_cast<std::size_t>(len)) == kSleep) break;
                usleep(1000);
            }
        }
    }

  private:
    std::vector<pid_t> pids_;
};

Crowd& crowd() {
    static Crowd c;
    return c;
}

std::string self_path() {
    char buf[PATH_MAX];
    const ssize_t len = readlink("/proc/self/exe", buf, sizeof buf);
    return len > 0 ? std::string(buf, static_cast<std::size_t>(len)) : std::string();
}

void Floor(benchmark::State& state) {
    crowd().resize(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        DIR* dir = opendir("/proc");
        const int fd = dirfd(dir);
        std::size_t links = 0;
        while (const dirent* e = readdir(dir)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
            char name[300];
            std::snprintf(name, sizeof name, "%s/exe", e->d_name);
            char buf[PATH_MAX];
            links += readlinkat(fd, name, buf, sizeof buf) > 0;
        }
        closedir(dir);
        benchmark::DoNotOptimize(links);
    }
}

void IsProgramRunning(benchmark::State& state) {
    crowd().resize(static_cast<std::size_t>(state.range(0)));
    // This benchmark itself is the watched program: it runs, as a watched program usually does.
    const std::string path = self_path();
    const keeprun::ExeAliasTable aliases = {{"LAUNCHER.EXE", "GAME.EXE"}};
    for (auto _ : state) {
        const int running = keeprun::is_program_running(path, aliases);
        if (running != 1) state.SkipWithError("the benchmark did not find itself");
        benchmark::DoNotOptimize(running);
    }
}

void PinnedCheck(benchmark::State& state) {
    crowd().resize(static_cast<std::size_t>(state.range(0)));
    const std::string path = self_path();
    keeprun::ProgramPins pins;
    for (auto _ : state) {
        const bool running = pins.is_running(path, {});
        if (!running) state.SkipWithError("the benchmark did not find itself");
        benchmark::DoNotOptimize(running);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Each crowd size once, the floor and the checks side by side.
    using Body = void (*)(benchmark::State&);
    const std::pair<const char*, Body> bodies[] = {
        {"Floor", Floor}, {"IsProgramRunning", IsProgramRunning}, {"PinnedCheck", PinnedCheck}};
    for (const int n : {300, 2000})
        for (const auto& [name, body] : bodies)
            benchmark::RegisterBenchmark(name, body)
                ->Arg(n)
                ->Repetitions(9)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    crowd().resize(0);
    return 0;
}
