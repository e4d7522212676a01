#include <windows.h>

#include "system/program_file.h"
#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

// The Windows rules work on the text of the path; a file counts as runnable
// whenever it is a plain file.
class LocalFileStatus final : public FileStatus {
  public:
    FileInfo status(std::string_view path) const override {
        FileInfo info;
        if (path.empty()) return info;
        const DWORD attributes = GetFileAttributesW(widen(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return info;
        info.exists = true;
        info.regular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
        info.executable = info.regular;
        return info;
    }
};

} // namespace

const FileStatus& local_file_status() {
    static const LocalFileStatus status;
    return status;
}

} // namespace keeprun
