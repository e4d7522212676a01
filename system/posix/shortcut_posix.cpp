#include "system/shortcut.h"

#include "system/desktop_entry.h"

namespace keeprun {

std::optional<Shortcut> read_shortcut(std::string_view shortcut_path) {
    return desktop_entry_shortcut(shortcut_path, local_file_status());
}

} // namespace keeprun
