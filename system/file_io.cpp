#include "system/file_io.h"

namespace keeprun {

bool read_for_rewrite(const std::string& path, std::string& bytes) {
    if (auto existing = read_file_bytes(path)) {
        bytes = std::move(*existing);
        return true;
    }
    bytes.clear();
    return !path_exists(path);
}

} // namespace keeprun
