#include "system/single_instance.h"

#include <windows.h>

#include "system/win32/wide_win32.h"

namespace keeprun {

struct InstanceLock::Hold {
    HANDLE mutex = nullptr;
    bool held = false;
    bool taken_by_other = false;
};

InstanceLock::InstanceLock(const std::string& path) : hold_(std::make_unique<Hold>()) {
    // Not inheritable (no security attributes), so started programs never hold it.
    hold_->mutex = CreateMutexW(nullptr, FALSE, widen(path).c_str());
    // A keeprun running as administrator holds a mutex this one may not open:
    // it runs all the same.
    if (!hold_->mutex) {
        hold_->taken_by_other = GetLastError() == ERROR_ACCESS_DENIED;
        return;
    }
    hold_->taken_by_other = GetLastError() == ERROR_ALREADY_EXISTS;
    hold_->held = !hold_->taken_by_other;
}

InstanceLock::~InstanceLock() {
    if (hold_->mutex) CloseHandle(hold_->mutex);
}

bool InstanceLock::held() const {
    return hold_->held;
}

bool InstanceLock::taken_by_other() const {
    return hold_->taken_by_other;
}

std::string instance_lock_path() {
    return "Local\\keeprun";
}

bool previous_instance_running() {
    static const InstanceLock lock(instance_lock_path());
    return lock.taken_by_other();
}

} // namespace keeprun
