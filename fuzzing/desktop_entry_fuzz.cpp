// The ".desktop" reader over any launcher text, then the program's lookup in PATH.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "system/desktop_entry.h"

using keeprun::fuzz::require;

namespace {

// Every path is a program, so the lookup always ends in the first usable folder.
class EveryPathAProgram final : public keeprun::FileStatus {
  public:
    keeprun::FileInfo status(std::string_view) const override { return {true, true, true}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto launch = keeprun::desktop_launch(text);
    if (!launch) return 0;
    const std::string* program = &launch->program;
    require(!program->empty(), "a program is never an empty word");

    const EveryPathAProgram files;
    const auto resolved = keeprun::resolve_program(*program, "::/usr/local/bin:/usr/bin", files);
    require(resolved.has_value(), "a program is found when every path is one");
    if (program->find('/') == std::string::npos)
        require(*resolved == "/usr/local/bin/" + *program, "a bare name is looked up in PATH");
    else
        require(*resolved == *program, "a path is taken as it is");
    return 0;
}
