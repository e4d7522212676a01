#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "system/program_file.h"

namespace keeprun {
namespace {

class LocalFileStatus final : public FileStatus {
  public:
    FileInfo status(std::string_view path) const override {
        const std::string p(path);
        struct stat st {};
        FileInfo info;
        if (p.empty() || ::stat(p.c_str(), &st) != 0) return info;
        info.exists = true;
        info.regular = S_ISREG(st.st_mode);
        // access() also answers for root, who may run a file only when some x bit is set.
        info.executable = info.regular && ::access(p.c_str(), X_OK) == 0;
        return info;
    }
};

} // namespace

const FileStatus& local_file_status() {
    static const LocalFileStatus status;
    return status;
}

} // namespace keeprun
