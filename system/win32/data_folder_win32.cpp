#include "system/data_folder.h"

#include <windows.h>

#include "system/file_io.h"

namespace keeprun {

DataFolder get_data_folder() {
    // The drives in the order the program has always tried them.
    DataFolder folder;
    for (const char* root : {"d:\\", "c:\\", "e:\\", "f:\\"}) {
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        folder.path = std::string(root) + "zx\\";
        folder.error = make_folders(folder.path.substr(0, folder.path.size() - 1));
        return folder;
    }
    folder.path = "c:\\zx\\";
    folder.error = "no fixed drive among d:, c:, e:, f:";
    return folder;
}

} // namespace keeprun
