#pragma once
// A fresh folder per test, removed with everything in it afterwards, and whole
// files read and written in one go. std::filesystem only: the Windows tests
// use it too.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace keeprun::testing {

// The file's bytes; "" when it cannot be read.
inline std::string slurp(const std::filesystem::path& file) {
    std::ostringstream out;
    out << std::ifstream(file, std::ios::binary).rdbuf();
    return out.str();
}

// Writes `bytes` to the file, making its folders first.
inline void spit(const std::filesystem::path& file, const std::string& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream(file, std::ios::binary) << bytes;
}

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        for (int attempt = 0; path_.empty(); ++attempt) {
            if (attempt == 100) std::abort();
            const auto p = std::filesystem::temp_directory_path() /
                           ("keeprun-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(p)) path_ = p;
        }
        // Private to this user, as a shared temporary folder's entries should be.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    }
    ~TempDir() {
        // A test may have taken the folder's write permission away.
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing "/", as the data folder is written.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return folder() + name; }
    // The file written with `text`, executable when asked.
    std::string file(const std::string& name, const std::string& text,
                     bool executable = false) const {
        const std::string p = file(name);
        spit(p, text);
        if (executable)
            std::filesystem::permissions(p,
                                         std::filesystem::perms::owner_exec |
                                             std::filesystem::perms::group_exec |
                                             std::filesystem::perms::others_exec,
                                         std::filesystem::perm_options::add);
        return p;
    }

  private:
    std::filesystem::path path_;
};

} // namespace keeprun::testing
