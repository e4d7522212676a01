#include "fuzzing/support.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace keeprun::fuzz {

TempFolder::TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/keeprun-fuzz-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr, "a private temporary folder");
    path_ = pattern + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::write(const std::string& name, std::string_view bytes) const {
    const std::string file = path_ + name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(static_cast<bool>(out.flush()), "the input written to a temporary file");
    return file;
}

const TempFolder& temp_folder() {
    static const TempFolder folder;
    return folder;
}

} // namespace keeprun::fuzz
