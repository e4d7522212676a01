#pragma once
// Disk faults for the end-to-end tests: the test process moves into a mount
// namespace of its own, where it can put a tiny file system or a read-only
// view over the data folder. keeprun, started afterwards, sees the same.
#include <string>

namespace keeprun::e2e {

// Enters a private mount namespace (inside a user namespace when not root);
// "" on success, otherwise why it could not.
std::string enter_private_mounts();
// A tmpfs of `bytes` bytes over `folder`; "" or what went wrong.
std::string mount_small_disk(const std::string& folder, unsigned long bytes);
// `folder` seen read-only from now on, even by root; "" or what went wrong.
std::string make_read_only(const std::string& folder);
// Takes away what was mounted over `folder` (at once, even while in use).
void unmount(const std::string& folder);
// Writes a file into `folder` until the file system is full; false when it never filled.
bool fill_up(const std::string& folder);

} // namespace keeprun::e2e
