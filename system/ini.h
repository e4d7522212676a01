#pragma once
// An ini file held as its bytes in code page 936. Sections and keys are found
// regardless of ASCII letter case; values are trimmed and lose one pair of
// surrounding quotes. A change rewrites only the line it concerns, so every
// other line keeps its exact bytes.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

class IniText {
  public:
    explicit IniText(std::string bytes = {}) : bytes_(std::move(bytes)) {}

    // The value (UTF-8), or nullopt when the section or the key is missing.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Sets the value, adding the key and the section when they are missing.
    void set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

} // namespace keeprun
