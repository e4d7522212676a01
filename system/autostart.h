#pragma once
// Starting keeprun when the user logs in: an autostart entry of the desktop
// session (XDG) on Linux, the per-user Run key on Windows.
#include <string>

namespace keeprun {

// The option the entry passes: this start is one at login (see the README).
inline constexpr const char* kLoginOption = "--login";

// True when the entry exists.
bool autostart_enabled();

// Adds (on) or removes (off) the entry that starts `program`, an absolute path,
// with kLoginOption. "" on success, else what went wrong.
std::string set_autostart(bool on, const std::string& program);

// An entry that an older keeprun wrote for this `program` (the program alone,
// without kLoginOption) gets the option; any other entry is left as it is, and so
// is a switch-off of the entry.
void update_autostart_entry(const std::string& program);

// Takes over the installer's start-at-login choice, once per install, for the
// user running keeprun (an installer may run as another, administrator account).
// Only the Windows installer leaves a choice.
void take_installer_autostart_choice(const std::string& program);

} // namespace keeprun
