#include "system/file_io.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keeprun {
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// New files are the user's alone: the settings name programs to start, and the
// store holds the client key.
constexpr mode_t kNewFileMode = 0600;

} // namespace

std::optional<std::string> read_file_bytes(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

namespace {

// The folder holding `path`, ending in "/" ("." for a bare name).
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// A temporary file's name: the file's, ".tmp-", the writer's process id, "-"
// and six random characters; the id tells whose it is.
constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kRandomTail = 6;

std::string temporary_template(const std::string& path) {
    return path + std::string(kTempMark) + std::to_string(::getpid()) + "-XXXXXX";
}

// The id of the writer of a temporary file of `stem` named `name`; 0 when the
// name is not one of ours.
long temporary_writer(std::string_view name, std::string_view stem) {
    if (!name.starts_with(stem)) return 0;
    name.remove_prefix(stem.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != kRandomTail)
        return 0;
    long pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 1'000'000'000) return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// Temporary files of earlier writes that were killed before their rename: whole
// or partial copies nobody reads, removed once a later write has succeeded. Only
// our own: named by a writer that has ended (or by this process), regular files
// of this user; anything else there is left alone.
void remove_stale_temporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string stem =
        path.substr(slash == std::string::npos ? 0 : slash + 1) + std::string(kTempMark);
    DIR* dir = ::opendir(folder_of(path).c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const long writer = temporary_writer(e->d_name, stem);
        if (writer <= 0) continue;
        if (writer != ::getpid() && (::kill(static_cast<pid_t>(writer), 0) == 0 || errno != ESRCH))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::getuid())
            ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

// Makes a rename in `folder` survive a power cut.
void sync_folder(const std::string& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

// The file a chain of symbolic links at `path` ends in (made or not yet), so a
// replacement keeps the links; `path` itself when it is no link.
std::string final_target(std::string path) {
    // As many hops as the system itself follows before it gives up (ELOOP).
    for (int hop = 0; hop < 40; ++hop) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) break;
        target.resize(static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        path = target.front() == '/' || slash == std::string::npos
                   ? target
                   : path.substr(0, slash + 1) + target;
    }
    return path;
}

} // namespace

bool write_file_atomic(const std::string& link_or_file, std::string_view bytes, bool owner_only) {
    const std::string path = final_target(link_or_file);
    std::string tmp = temporary_template(path);
    const int raw = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (raw < 0) return false;
    bool ok = false;
    {
        Fd fd(raw);
        // Keep the permissions of the file being replaced.
        struct stat st {};
        mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : kNewFileMode;
        if (owner_only) mode &= 07700;
        ok = ::fchmod(fd.get(), mode) == 0 && write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) {
        sync_folder(folder_of(path));
        remove_stale_temporaries(path);
        return true;
    }
    ::unlink(tmp.c_str());
    return false;
}

bool path_exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool create_file_if_missing(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == EEXIST;
}

std::string make_folders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0777) == 0 || errno == EEXIST) continue;
        return part + ": " + std::strerror(errno);
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return path + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return path + ": " + std::strerror(ENOTDIR);
    return {};
}

} // namespace keeprun
