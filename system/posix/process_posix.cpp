#include "system/process.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include "system/desktop_entry.h"
#include "system/file_io.h"

extern char** environ;

namespace keeprun {
namespace {

std::string read_link_at(int dir, const char* name) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlinkat(dir, name, buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string canonical(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

std::string proc_file(long pid, const char* name) {
    return "/proc/" + std::to_string(pid) + "/" + name;
}

// The real user and the state of a process, from its status file.
bool owned_and_alive(long pid) {
    const auto status = read_file_bytes(proc_file(pid, "status"));
    if (!status) return false;
    const std::size_t state = status->find("\nState:");
    const std::size_t uid = status->find("\nUid:");
    if (state == std::string::npos || uid == std::string::npos) return false;
    const std::size_t letter = status->find_first_not_of(" \t", state + 7);
    if (letter == std::string::npos || (*status)[letter] == 'Z' || (*status)[letter] == 'X')
        return false;
    return std::strtoul(status->c_str() + uid + 5, nullptr, 10) == ::getuid();
}

std::vector<std::string> read_argv(long pid) {
    std::vector<std::string> argv;
    const auto cmdline = read_file_bytes(proc_file(pid, "cmdline"));
    if (!cmdline) return argv;
    for (std::size_t at = 0; at < cmdline->size();) {
        const std::size_t end = std::min(cmdline->find('\0', at), cmdline->size());
        argv.emplace_back(*cmdline, at, end - at);
        at = end + 1;
    }
    return argv;
}

// Walks /proc; reads more of a process only when its executable may match.
// Processes that vanish or cannot be read are skipped.
template <typename Wanted, typename Found> void scan_processes(Wanted wanted, Found found) {
    DIR* dir = ::opendir("/proc");
    if (!dir) return;
    const int fd = ::dirfd(dir);
    char link[PATH_MAX];
    while (const dirent* e = ::readdir(dir)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        // The hot path: one link per process, no allocation.
        char name[32];
        std::snprintf(name, sizeof name, "%ld/exe", pid);
        const ssize_t n = ::readlinkat(fd, name, link, sizeof link);
        if (n <= 0) continue;
        const std::string_view exe =
            strip_deleted(std::string_view(link, static_cast<std::size_t>(n)));
        if (!wanted(exe) || !owned_and_alive(pid)) continue;
        ProcessRow row;
        row.exe = exe;
        row.pid = pid;
        row.argv = read_argv(pid);
        if (auto comm = read_file_bytes(proc_file(pid, "comm"))) {
            if (!comm->empty() && comm->back() == '\n') comm->pop_back();
            row.name = std::move(*comm);
        }
        found(row);
    }
    ::closedir(dir);
}

std::string resolve_argument(const ProcessRow& row, std::string_view arg) {
    if (arg.empty()) return {};
    const std::string path =
        arg.front() == '/' ? std::string(arg) : proc_file(row.pid, "cwd") + "/" + std::string(arg);
    return canonical(path);
}

template <typename Found> void scan_matching(const ProgramMatch& match, Found found) {
    if (match.kind == ProgramMatch::none) return;
    scan_processes([&](std::string_view exe) { return executable_may_match(exe, match); },
                   [&](const ProcessRow& row) {
                       if (process_matches(row, match, resolve_argument)) found(row);
                   });
}

// A "#!" script's canonical interpreter and where its argv holds the script;
// nothing for any other file.
std::optional<std::pair<std::string, std::size_t>> script_interpreter(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    char buf[256];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n <= 0) return std::nullopt;
    const auto shebang = parse_shebang(std::string_view(buf, static_cast<std::size_t>(n)));
    if (!shebang) return std::nullopt;
    std::string interpreter = canonical(shebang->interpreter);
    if (!shebang->env_program.empty()) {
        const char* search = std::getenv("PATH");
        const auto program =
            resolve_program(shebang->env_program, search ? search : "", local_file_status());
        interpreter = program ? canonical(*program) : std::string();
    }
    return std::pair{std::move(interpreter), shebang->script_arg};
}

void kill_checked(const ProcessRow& row) {
    // A pidfd pins the process, so the check of its executable and the kill
    // concern the same process even if the id is reused in between.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, row.pid, 0));
    if (pidfd < 0) {
        if (errno == ENOSYS) ::kill(static_cast<pid_t>(row.pid), SIGKILL);
        return;
    }
    if (strip_deleted(read_link_at(AT_FDCWD, proc_file(row.pid, "exe").c_str())) == row.exe)
        ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
    ::close(pidfd);
}

} // namespace

ProgramMatch program_match(std::string_view path, const ExeAliasTable* aliases) {
    ProgramMatch match;
    if (path.empty()) return match;
    const std::string p(path);
    const std::size_t slash = p.rfind('/');
    if (aliases) {
        if (auto instead = alias_for(p.substr(slash + 1), *aliases)) {
            const std::string folder = p.substr(0, slash == std::string::npos ? 0 : slash);
            match.kind = ProgramMatch::alias;
            match.path = folder.empty() ? folder : canonical(folder);
            if (match.path.empty()) match.path = folder;
            match.name = std::move(*instead);
            return match;
        }
    }
    match.path = canonical(p);
    if (match.path.empty()) match.path = p; // gone from disk: its processes may still run
    match.kind = ProgramMatch::executable;
    if (auto script = script_interpreter(p)) {
        // A script runs as its interpreter; one that cannot start matches nothing.
        match.kind = script->first.empty() ? ProgramMatch::none : ProgramMatch::script;
        match.interpreter = std::move(script->first);
        match.script_arg = script->second;
    }
    return match;
}

void list_processes(std::vector<ProcessRow>& table) {
    table.clear();
    scan_processes([](std::string_view) { return true; },
                   [&](const ProcessRow& row) { table.push_back(row); });
}

int is_program_running(std::string_view path, const ExeAliasTable& aliases) {
    bool running = false;
    scan_matching(program_match(path, &aliases), [&](const ProcessRow&) { running = true; });
    return running ? 1 : 0;
}

void close_program(std::string_view path) {
    scan_matching(program_match(path, nullptr), [](const ProcessRow& row) {
        if (row.pid > 10) kill_checked(row);
    });
}

bool open_program(std::string_view path) {
    return start_detached({std::string(path)});
}

bool start_detached(const std::vector<std::string>& args) {
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a copy of a threaded process.
    if (args.empty()) return false;
    const std::string& program = args.front();
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    char** envp = environ;
    const int fd_limit = static_cast<int>(std::min(::sysconf(_SC_OPEN_MAX), 1L << 16));
    int report[2];
    if (program.empty() || ::pipe2(report, O_CLOEXEC) != 0) return false;
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);

    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t program_pid = ::fork();
        if (program_pid != 0) {
            if (program_pid < 0) (void)!::write(report[1], &errno, sizeof errno);
            ::_exit(0);
        }
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            ::sigaction(s, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0 && null != 0) {
            ::dup2(null, 0);
            ::close(null);
        }
        // Every descriptor above 2 goes, except the report pipe, which closes on exec.
        const bool closed =
            (report[1] <= 3 || ::syscall(SYS_close_range, 3, report[1] - 1, 0) == 0) &&
            ::syscall(SYS_close_range, report[1] + 1, ~0U, 0) == 0;
        if (!closed)
            for (int fd = 3; fd < fd_limit; ++fd)
                if (fd != report[1]) ::close(fd);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(program.c_str(), argv.data(), envp);
        const int err = errno;
        (void)!::write(report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(report[1]);
    bool started = false;
    if (middle > 0) {
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        int err = 0;
        ssize_t n;
        while ((n = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
        }
        started = n == 0;
    }
    ::close(report[0]);
    return started;
}

} // namespace keeprun
