#include "system/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace keeprun {

InstanceLock::InstanceLock(const std::string& path) {
    // Close-on-exec: a started program must never keep the lock alive.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
    int r;
    while ((r = ::flock(fd_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    held_ = r == 0;
    taken_by_other_ = r != 0 && errno == EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string instance_lock_path() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && ::access(runtime, W_OK | X_OK) == 0)
        return std::string(runtime) + "/keeprun.lock";
    return "/tmp/keeprun-" + std::to_string(::getuid()) + ".lock";
}

bool previous_instance_running() {
    static const InstanceLock lock(instance_lock_path());
    return lock.taken_by_other();
}

} // namespace keeprun
