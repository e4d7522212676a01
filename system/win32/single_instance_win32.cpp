#include "system/single_instance.h"

#include <windows.h>

#include "system/win32/wide_win32.h"

namespace keeprun {

InstanceLock::InstanceLock(const std::string& path) {
    // Not inheritable (no security attributes), so started programs never hold it.
    mutex_ = CreateMutexW(nullptr, FALSE, widen(path).c_str());
    if (!mutex_) return;
    taken_by_other_ = GetLastError() == ERROR_ALREADY_EXISTS;
    held_ = !taken_by_other_;
}

InstanceLock::~InstanceLock() {
    if (mutex_) CloseHandle(mutex_);
}

std::string instance_lock_path() {
    return "Local\\keeprun";
}

bool previous_instance_running() {
    static const InstanceLock lock(instance_lock_path());
    return lock.taken_by_other();
}

} // namespace keeprun
