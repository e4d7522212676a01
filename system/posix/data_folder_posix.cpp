#include "system/data_folder.h"

#include "system/file_io.h"
#include "system/posix/xdg_posix.h"

namespace keeprun {

DataFolder get_data_folder() {
    DataFolder folder;
    folder.path = xdg_folder("XDG_DATA_HOME", ".local/share") + "/keeprun/zx/";
    folder.error = make_folders(folder.path.substr(0, folder.path.size() - 1));
    return folder;
}

} // namespace keeprun
