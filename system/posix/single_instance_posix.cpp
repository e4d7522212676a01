#include "system/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keeprun {

struct InstanceLock::Hold {
    int fd = -1;
    bool held = false;
    bool taken_by_other = false;
};

InstanceLock::InstanceLock(const std::string& path) : hold_(std::make_unique<Hold>()) {
    // Close-on-exec: a started program must never keep the lock alive.
    hold_->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (hold_->fd < 0) return;
    int r;
    while ((r = ::flock(hold_->fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    hold_->held = r == 0;
    hold_->taken_by_other = r != 0 && errno == EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (hold_->fd >= 0) ::close(hold_->fd);
}

bool InstanceLock::held() const {
    return hold_->held;
}

bool InstanceLock::taken_by_other() const {
    return hold_->taken_by_other;
}

namespace {

// The user's own folder under /tmp, made for the user alone; "" when something
// else is there (another user's folder, a link), since whoever owns it could
// hold the lock or answer at the socket.
std::string private_tmp_folder() {
    const std::string folder = "/tmp/keeprun-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return {};
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
    return folder;
}

} // namespace

std::string instance_lock_path() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && ::access(runtime, W_OK | X_OK) == 0)
        return std::string(runtime) + "/keeprun.lock";
    const std::string folder = private_tmp_folder();
    return folder.empty() ? folder : folder + "/keeprun.lock";
}

bool previous_instance_running() {
    static const InstanceLock lock(instance_lock_path());
    return lock.taken_by_other();
}

} // namespace keeprun
