#include "private_mounts.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace keeprun::e2e {
namespace {

std::string failed(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool write_proc(const std::string& file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

std::string enter_private_mounts() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return failed("unshare(user, mount)");
        if (!write_proc("/proc/self/setgroups", "deny") ||
            !write_proc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !write_proc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "cannot map the user into the new user namespace";
    } else if (::unshare(CLONE_NEWNS) != 0) {
        return failed("unshare(mount)");
    }
    // Nothing mounted here may reach the machine's own namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("making / private");
    return {};
}

std::string mount_small_disk(const std::string& folder, unsigned long bytes) {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("keeprun-small-disk", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return failed("mount tmpfs on " + folder);
    return {};
}

std::string make_read_only(const std::string& folder) {
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return failed("bind " + folder);
    if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        return failed("remount " + folder + " read-only");
    return {};
}

void unmount(const std::string& folder) {
    ::umount2(folder.c_str(), MNT_DETACH);
}

bool fill_up(const std::string& folder) {
    const int fd = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return errno == ENOSPC;
    const std::string block(4096, 'x');
    bool full = false;
    while (!full) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        full = n < 0 && errno == ENOSPC;
        if (n < 0 && !full) break;
    }
    ::close(fd);
    return full;
}

} // namespace keeprun::e2e
