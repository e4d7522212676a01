#pragma once
// Windows shortcuts (.lnk): the file a shortcut points to.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

// The target path of the shortcut file; nothing when it cannot be read.
std::optional<std::string> lnk_target(std::string_view shortcut_path);

} // namespace keeprun
