#pragma once
// A private X server for one test: Xvfb picks a free display number itself
// (-displayfd) and runs with its own XDG_RUNTIME_DIR.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace keeprun::testing {

class Xvfb {
  public:
    Xvfb() {
        int fds[2];
        if (pipe(fds) != 0) return;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) env.emplace_back(*e);
        env.push_back("XDG_RUNTIME_DIR=" + runtime_.path().string());
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string fd = std::to_string(fds[1]);
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execle("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr), envp.data());
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 20000) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // ":N", or "" when the server did not come up.
    const std::string& display() const { return display_; }

  private:
    TempDir runtime_;
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace keeprun::testing
