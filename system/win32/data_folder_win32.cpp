#include "system/data_folder.h"

#include <windows.h>

#include "system/file_io.h"
#include "system/win32/data_folder_win32.h"

namespace keeprun {

DataFolder choose_data_folder(const std::vector<std::string>& roots,
                              const std::function<std::string(const std::string&)>& make) {
    // A drive that cannot hold the folder (read-only, locked down) gives way
    // to the next.
    DataFolder first;
    for (const std::string& root : roots) {
        DataFolder folder{root + "zx\\", ""};
        folder.error = make(folder.path.substr(0, folder.path.size() - 1));
        if (folder.error.empty()) return folder;
        if (first.path.empty()) first = folder;
    }
    if (first.path.empty()) first = {"c:\\zx\\", "no fixed drive among d:, c:, e:, f:"};
    return first;
}

DataFolder get_data_folder() {
    // The drives in the order the program has always tried them.
    std::vector<std::string> fixed;
    for (const char* root : {"d:\\", "c:\\", "e:\\", "f:\\"})
        if (GetDriveTypeA(root) == DRIVE_FIXED) fixed.emplace_back(root);
    return choose_data_folder(fixed, make_folders);
}

} // namespace keeprun
