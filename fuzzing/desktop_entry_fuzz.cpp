// The ".desktop" reader over any launcher file, read from disk as a drop does.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "system/desktop_entry.h"

using keeprun::fuzz::require;

namespace {

// Every path is a program, so the lookup in PATH always ends at its first folder.
class EveryPathAProgram final : public keeprun::FileStatus {
  public:
    keeprun::FileInfo status(std::string_view) const override { return {true, true, true}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const EveryPathAProgram files;
    const auto program = keeprun::desktop_exec_program(text);
    require(!program || !program->empty(), "a program is never an empty word");

    const std::string launcher = keeprun::fuzz::temp_folder().write("fuzz.desktop", text);
    const auto resolved = keeprun::desktop_entry_program(launcher, files);
    require(resolved.has_value() == program.has_value(), "the file gives what its text gives");
    if (resolved && program->find('/') == std::string::npos)
        require(resolved->ends_with("/" + *program), "a bare name is looked up in a folder");
    return 0;
}
