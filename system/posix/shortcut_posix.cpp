#include "system/shortcut.h"

#include "system/desktop_entry.h"

namespace keeprun {

std::optional<std::string> shortcut_target(std::string_view shortcut_path) {
    return desktop_entry_program(shortcut_path, local_file_status());
}

} // namespace keeprun
