#pragma once
// One keeprun per user: a lock that lives exactly as long as its holder
// process and is never inherited by programs that keeprun starts.
#include <memory>
#include <string>

namespace keeprun {

class InstanceLock {
  public:
    // Tries to take the lock at `path`: a lock file (created when missing), or
    // on Windows the name of a mutex.
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process holds the lock.
    bool held() const;
    // True when another process holds it; false when the lock file was unusable
    // (then nobody can say, and keeprun runs on).
    bool taken_by_other() const;

  private:
    struct Hold; // the system's handle on the lock, and what taking it gave
    std::unique_ptr<Hold> hold_;
};

// The user's lock file: $XDG_RUNTIME_DIR/keeprun.lock, or keeprun.lock in
// /tmp/keeprun-<uid>/, a folder of the user's alone ("" when another user or a
// link holds that name: no lock then); on Windows a mutex name in the session's namespace.
std::string instance_lock_path();

// True when a previous instance of keeprun runs for this user. The first call
// takes the lock, which this process then keeps until it ends.
bool previous_instance_running();

} // namespace keeprun
