#include "harness.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace keeprun::e2e {
namespace {

std::vector<char*> c_strings(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

std::vector<std::string> env_lines(const Env& env) {
    std::vector<std::string> lines;
    for (const auto& [k, v] : env)
        lines.push_back(k + "=" + v);
    return lines;
}

// Started children die with the test process, however it ends: a test that
// crashes must not leave a keeprun or a mirror holding the mirror ports.
int spawn(const std::vector<std::string>& argv, const Env& env, int out_fd, int err_fd) {
    auto args = argv;
    auto lines = env_lines(env);
    auto c_args = c_strings(args);
    auto c_env = c_strings(lines);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("cannot start " + argv[0]);
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        const int null_fd = ::open("/dev/null", O_RDONLY);
        ::dup2(null_fd, 0);
        ::dup2(out_fd, 1);
        ::dup2(err_fd, 2);
        ::execvpe(c_args[0], c_args.data(), c_env.data());
        ::_exit(127);
    }
    return pid;
}

} // namespace

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(text.substr(from, at - from));
    if (from < text.size()) out.push_back(text.substr(from));
    return out;
}

fs::path build_dir() {
    const char* dir = std::getenv("KEEPRUN_BUILD_DIR");
    if (!dir) throw std::runtime_error("KEEPRUN_BUILD_DIR is not set");
    return dir;
}

Process::Process(const std::vector<std::string>& argv, const Env& env, const fs::path& output) {
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot open " + output.string());
    pid_ = spawn(argv, env, fd, fd);
    ::close(fd);
}

Process::~Process() {
    kill();
}

bool Process::running() {
    if (status_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::optional<int> Process::wait_exit(std::chrono::milliseconds limit) {
    wait_until([&] { return !running(); }, limit);
    return status_;
}

void Process::kill() {
    if (!running()) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = 128 + SIGKILL;
}

std::string run_capture(const std::vector<std::string>& argv, const Env& env) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int pid = spawn(argv, env, pipe_fds[1], null_fd);
    ::close(pipe_fds[1]);
    ::close(null_fd);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(pipe_fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) out.append(buf, static_cast<std::size_t>(n));
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

Xvfb::Xvfb(const fs::path& log) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) throw std::runtime_error("pipe failed");
    ::fcntl(pipe_fds[0], F_SETFD, FD_CLOEXEC);
    const Env env{{"PATH", std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"}};
    server_ = std::make_unique<Process>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"},
        env, log);
    ::close(pipe_fds[1]);
    std::string number;
    pollfd ready{pipe_fds[0], POLLIN, 0};
    char c;
    while (::poll(&ready, 1, 20000) > 0 && ::read(pipe_fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipe_fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start; see " + log.string());
    display_ = ":" + number;
}

bool pid_alive(int pid) {
    if (pid <= 0) return false;
    const std::string stat = slurp("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

} // namespace keeprun::e2e
