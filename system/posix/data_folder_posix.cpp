#include "system/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "system/file_io.h"
#include "system/posix/xdg_posix.h"
#include "system/settings_file.h"

namespace keeprun {
namespace {

// Gives `path` the mode when it exists; "" unless another user owns it. A mode
// that cannot be changed (a read-only disk) is left as it is.
std::string make_private(const std::string& path, mode_t mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    if (st.st_uid != ::getuid()) return path + ": owned by another user";
    if ((st.st_mode & 07777) != mode) ::chmod(path.c_str(), mode);
    return {};
}

} // namespace

DataFolder get_data_folder() {
    DataFolder folder;
    folder.path = xdg_folder("XDG_DATA_HOME", ".local/share") + "/keeprun/zx/";
    const std::string dir = folder.path.substr(0, folder.path.size() - 1);
    folder.error = make_folders(dir);
    if (folder.error.empty()) folder.error = make_private(dir, 0700);
    for (const char* name : kStoredFileNames)
        if (folder.error.empty()) folder.error = make_private(folder.path + name, 0600);
    return folder;
}

} // namespace keeprun
