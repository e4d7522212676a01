#include "system/file_io.h"

#include <cerrno>
#include <climits>
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

constexpr std::string_view kTempSuffix = ".tmp-XXXXXX";

// Temporary files of earlier writes that were killed before their rename: whole
// or partial copies nobody reads, removed once a later write has succeeded.
void remove_stale_temporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string stem = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() == stem.size() + 6 && name.substr(0, stem.size()) == stem)
            ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
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

bool write_file_atomic(const std::string& link_or_file, std::string_view bytes) {
    const std::string path = final_target(link_or_file);
    std::string tmp = path + std::string(kTempSuffix);
    const int raw = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (raw < 0) return false;
    bool ok = false;
    {
        Fd fd(raw);
        // Keep the permissions of the file being replaced.
        struct stat st {};
        const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : kNewFileMode;
        ok = ::fchmod(fd.get(), mode) == 0 && write_all(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) {
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
