#include "system/posix/xdg_posix.h"
#include "system/settings_store.h"

namespace keeprun {

SettingsStore& user_settings_store() {
    static FileSettingsStore store(xdg_folder("XDG_CONFIG_HOME", ".config") + "/keeprun");
    return store;
}

} // namespace keeprun
