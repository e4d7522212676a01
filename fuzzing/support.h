#pragma once
// Shared pieces of the fuzz harnesses: a broken promise ends the run as a
// crash (so libFuzzer keeps the input), and a private folder for parsers that
// read files by path.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace keeprun::fuzz {

inline void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

// A folder under $TMPDIR that lives as long as the harness; its path ends in "/".
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // Replaces the file `name` in the folder by `bytes`; gives its path.
    std::string write(const std::string& name, std::string_view bytes) const;

  private:
    std::string path_;
};

// The harness's folder, made on first use.
const TempFolder& temp_folder();

} // namespace keeprun::fuzz
