#pragma once
// What the end-to-end tests need to drive the real keeprun: a private X server,
// private XDG folders and child processes started with an argv.
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"

namespace keeprun::e2e {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::TempDir;
using testing::wait_until;
using namespace std::chrono_literals;
using Env = std::map<std::string, std::string>;

// The folder of build outputs (build/keeprun, build/keeprun-mirror, helpers).
fs::path build_dir();

// The lines of a text whose lines end in CR LF (the last one may not).
std::vector<std::string> crlf_lines(const std::string& text);

// A child started directly from an argv (never through a shell); killed at the end.
class Process {
  public:
    Process(const std::vector<std::string>& argv, const Env& env, const fs::path& output);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    int pid() const { return pid_; }
    bool running();
    // The exit status once it has ended within `limit`.
    std::optional<int> wait_exit(std::chrono::milliseconds limit);
    void kill();

  private:
    int pid_ = -1;
    std::optional<int> status_;
};

// Runs a program to its end and returns what it wrote to standard output.
std::string run_capture(const std::vector<std::string>& argv, const Env& env);

// An X server of our own, numbered by itself (-displayfd).
class Xvfb {
  public:
    explicit Xvfb(const fs::path& log);
    const std::string& display() const { return display_; }

  private:
    std::unique_ptr<Process> server_;
    std::string display_;
};

bool pid_alive(int pid);

} // namespace keeprun::e2e
