#pragma once
// Shortcuts to programs as the system keeps them: Windows shortcuts (.lnk),
// ".desktop" launchers elsewhere.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

// The program the shortcut file points to: a .lnk's target, or a launcher's
// Exec= program looked up in $PATH; nothing when it cannot be read.
std::optional<std::string> shortcut_target(std::string_view shortcut_path);

} // namespace keeprun
