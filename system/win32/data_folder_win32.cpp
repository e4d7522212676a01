#include "system/data_folder.h"

#include <windows.h>

#include "system/file_io.h"

namespace keeprun {

DataFolder get_data_folder() {
    // The drives in the order the program has always tried them; a drive that
    // cannot hold the folder (read-only, locked down) gives way to the next.
    DataFolder first;
    for (const char* root : {"d:\\", "c:\\", "e:\\", "f:\\"}) {
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        DataFolder folder;
        folder.path = std::string(root) + "zx\\";
        folder.error = make_folders(folder.path.substr(0, folder.path.size() - 1));
        if (folder.error.empty()) return folder;
        if (first.path.empty()) first = folder;
    }
    if (!first.path.empty()) return first;
    first.path = "c:\\zx\\";
    first.error = "no fixed drive among d:, c:, e:, f:";
    return first;
}

} // namespace keeprun
