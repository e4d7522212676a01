#pragma once
// The folder of data.ini and jilu.txt. They hold the programs keeprun starts,
// so the folder is the user's alone: another user who could write there could
// make keeprun start their program as this user.
#include <string>

namespace keeprun {

struct DataFolder {
    std::string path;  // always ends in "/"
    std::string error; // "" when the folder can be used; else why not (nothing is loaded or saved)
};

// <data root>zx/ of the user, created with its parents when missing and made
// private to the user, with the files in it; refused when it or one of its
// files belongs to another user.
DataFolder get_data_folder();

} // namespace keeprun
