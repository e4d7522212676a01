#include "system/process.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include "system/argument_text.h"
#include "system/desktop_entry.h"
#include "system/file_io.h"
#include "system/posix/process_posix.h"

extern char** environ;

namespace keeprun {

class ProcessPin {
  public:
    ProcessPin() = default;
    ProcessPin(const ProcessPin&) = delete;
    ProcessPin& operator=(const ProcessPin&) = delete;
    ~ProcessPin() {
        if (pidfd >= 0) ::close(pidfd);
    }

    int pidfd = -1; // -1: the system could not pin it
    long pid = 0;
    std::string exe;      // what it ran when found
    bool started = false; // keeprun started it for the program
};

void ProcessPinRelease::operator()(ProcessPin* pin) const noexcept {
    delete pin;
}

namespace {

int pidfd_open(long pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

// The executable a process runs now ("" when it is gone or cannot be read).
std::string exe_now(long pid) {
    char name[32];
    std::snprintf(name, sizeof name, "/proc/%ld/exe", pid);
    char link[PATH_MAX];
    const ssize_t n = ::readlink(name, link, sizeof link);
    return n > 0 ? std::string(strip_deleted(std::string_view(link, static_cast<std::size_t>(n))))
                 : std::string();
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

// Field 22 of the process's stat file; 0 when it is gone or cannot be read.
unsigned long long start_time(long pid) {
    const auto stat = read_file_bytes(proc_file(pid, "stat"));
    // The name before the fields is in parentheses and may hold blanks and ")".
    const std::size_t name_end = stat ? stat->rfind(')') : std::string::npos;
    if (name_end == std::string::npos) return 0;
    const char* at = stat->c_str() + name_end + 1;
    for (int field = 2; field < 21 && at; ++field)
        if ((at = std::strchr(at + 1, ' '))) ++at;
    return at ? std::strtoull(at, nullptr, 10) : 0;
}

// The rest of a process's row once its executable is known; false when it is
// not the user's, is a zombie or has gone.
bool fill_row(long pid, std::string_view exe, ProcessRow& row) {
    if (!owned_and_alive(pid)) return false;
    row.exe = exe;
    row.pid = pid;
    row.argv = read_argv(pid);
    row.start_time = start_time(pid);
    row.name.clear();
    if (auto comm = read_file_bytes(proc_file(pid, "comm"))) {
        if (!comm->empty() && comm->back() == '\n') comm->pop_back();
        row.name = std::move(*comm);
    }
    return true;
}

// Walks /proc; reads more of a process only when its executable may match.
// Processes that vanish or cannot be read are skipped. `found` returns false
// to end the walk.
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
        ProcessRow row;
        if (!wanted(exe) || !fill_row(pid, exe, row)) continue;
        if (!found(row)) break;
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
                       return !process_matches(row, match, resolve_argument) || found(row);
                   });
}

// Where env looks for a program: PATH, or the system's default path when PATH
// is unset, as env and execvp do.
std::string search_path() {
    if (const char* path = std::getenv("PATH")) return path;
    const std::size_t size = ::confstr(_CS_PATH, nullptr, 0);
    std::string fallback(size, '\0');
    if (size == 0 || ::confstr(_CS_PATH, fallback.data(), size) == 0) return "/bin:/usr/bin";
    fallback.pop_back();
    return fallback;
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
        const auto program =
            resolve_program(shebang->env_program, search_path(), local_file_status());
        interpreter = program ? canonical(*program) : std::string();
    }
    return std::pair{std::move(interpreter), shebang->script_arg};
}

} // namespace

void kill_checked(const ProcessRow& row) {
    // A pidfd pins the process, so the check of its executable and the kill
    // concern the same process even if the id is reused in between.
    const int pidfd = pidfd_open(row.pid);
    const bool same = exe_now(row.pid) == row.exe;
    if (pidfd < 0) {
        // Without pidfds (kernels before 5.3) a reused id shows in the start time.
        if (errno == ENOSYS && same && row.start_time != 0 && start_time(row.pid) == row.start_time)
            ::kill(static_cast<pid_t>(row.pid), SIGKILL);
        return;
    }
    if (same) ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
    ::close(pidfd);
}

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
                   [&](const ProcessRow& row) {
                       table.push_back(row);
                       return true;
                   });
}

int is_program_running(std::string_view path, const ExeAliasTable& aliases) {
    bool running = false;
    scan_matching(program_match(path, &aliases), [&](const ProcessRow&) {
        running = true;
        return false;
    });
    return running ? 1 : 0;
}

void close_program(std::string_view path) {
    scan_matching(program_match(path, nullptr), [](const ProcessRow& row) {
        if (row.pid > 10) kill_checked(row);
        return true;
    });
}

PinnedProcess find_pinned(std::string_view path, const ExeAliasTable& aliases) {
    const ProgramMatch match = program_match(path, &aliases);
    PinnedProcess pin;
    scan_matching(match, [&](const ProcessRow& row) {
        const int pidfd = pidfd_open(row.pid);
        if (pidfd < 0 && errno == ESRCH) return true;
        pin.reset(new ProcessPin);
        pin->pid = row.pid;
        pin->exe = row.exe;
        if (pidfd < 0) return false; // running, but asked again next time
        pin->pidfd = pidfd;
        // The id may have passed to another process between the walk and the
        // pin: the pinned one must still match.
        ProcessRow again;
        const std::string exe = exe_now(row.pid);
        if (fill_row(row.pid, exe, again) && process_matches(again, match, resolve_argument))
            return false;
        pin.reset();
        return true;
    });
    return pin;
}

bool pin_holds(const ProcessPin& pin) {
    if (pin.pidfd < 0) return false;
    // The pidfd turns readable once the process has ended.
    pollfd ended{pin.pidfd, POLLIN, 0};
    if (::poll(&ended, 1, 0) != 0) return false;
    return pin.started || exe_now(pin.pid) == pin.exe;
}

long pinned_pid(const ProcessPin& pin) {
    return pin.pid;
}

bool end_crash_dialog_of(long) {
    return false;
}

void kill_pinned(const ProcessPin& pin) {
    if (pin.pid > 10 && pin_holds(pin))
        ::syscall(SYS_pidfd_send_signal, pin.pidfd, SIGKILL, nullptr, 0);
}

namespace {

// Starts args[0] detached (double fork) in `folder` (kept when empty); with
// `pin`, the started process is pinned before it executes anything, so its id
// cannot have been reused.
bool start(const std::vector<std::string>& args, const std::string& folder, ProcessPin* pin) {
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
    // report: the middle process's news (the program's id or -errno), then the
    // program's exec error; end of file once it has executed. go: closed by
    // keeprun when the program may execute.
    int report[2];
    int go[2];
    if (program.empty() || ::pipe2(report, O_CLOEXEC) != 0) return false;
    if (::pipe2(go, O_CLOEXEC) != 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);

    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t program_pid = ::fork();
        if (program_pid != 0) {
            const long news = program_pid > 0 ? program_pid : -errno;
            (void)!::write(report[1], &news, sizeof news);
            ::_exit(0);
        }
        ::close(go[1]);
        char none;
        while (::read(go[0], &none, 1) < 0 && errno == EINTR) {
        }
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            ::sigaction(s, &dfl, nullptr);
        sigset_t empty;
        sigemptyset(&empty);
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
        ::sigprocmask(SIG_SETMASK, &empty, nullptr);
        // A start folder that is gone fails the start, as it does in a file manager.
        if (folder.empty() || ::chdir(folder.c_str()) == 0)
            ::execve(program.c_str(), argv.data(), envp);
        const long err = errno;
        (void)!::write(report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(report[1]);
    ::close(go[0]);
    const auto read_news = [&](long& news) {
        ssize_t n;
        while ((n = ::read(report[0], &news, sizeof news)) < 0 && errno == EINTR) {
        }
        return n;
    };
    bool started = false;
    if (middle > 0) {
        while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        long news = 0;
        if (read_news(news) == sizeof news && news > 0) {
            if (pin) {
                pin->pid = news;
                pin->pidfd = pidfd_open(news);
                pin->started = true;
            }
            ::close(go[1]);
            go[1] = -1;
            started = read_news(news) == 0;
        }
    }
    if (go[1] >= 0) ::close(go[1]);
    ::close(report[0]);
    return started;
}

// The program's argv: the slot path, then the shortcut's arguments.
std::vector<std::string> program_argv(std::string_view path, const StartSettings& how) {
    std::vector<std::string> args{std::string(path)};
    for (std::string& word : split_argument_text(how.arguments))
        args.push_back(std::move(word));
    return args;
}

// The shortcut's start folder, else the program's own, as a file manager starts
// it; a relative path stays where keeprun is, so it still names the program.
std::string start_folder(std::string_view path, const StartSettings& how) {
    if (!path.starts_with('/')) return {};
    if (!how.folder.empty()) return how.folder;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

} // namespace

bool open_program(std::string_view path, const StartSettings& how) {
    return start(program_argv(path, how), start_folder(path, how), nullptr);
}

PinnedProcess open_pinned(std::string_view path, const StartSettings& how) {
    PinnedProcess pin(new ProcessPin);
    if (!start(program_argv(path, how), start_folder(path, how), pin.get())) pin.reset();
    return pin;
}

bool start_detached(const std::vector<std::string>& args) {
    return start(args, {}, nullptr);
}

bool open_web_page(std::string_view url) {
    // The address goes to xdg-open as one argument; no shell ever sees it.
    const auto opener = find_program("xdg-open", local_file_status());
    return opener && start_detached({*opener, std::string(url)});
}

} // namespace keeprun
