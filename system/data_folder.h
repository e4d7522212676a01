#pragma once
// The folder of data.ini and jilu.txt.
#include <string>

namespace keeprun {

struct DataFolder {
    std::string path;  // always ends in "/"
    std::string error; // "" when the folder exists; else why it could not be made
};

// <data root>zx/ of the user, created with its parents when missing.
DataFolder get_data_folder();

} // namespace keeprun
