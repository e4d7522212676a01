// The run record loader over any jilu.txt: what it restores fits the record
// list, and a save followed by a new start restores the same lines.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzing/support.h"
#include "system/file_io.h"
#include "system/settings_file.h"
#include "system/utf.h"

using keeprun::fuzz::require;

namespace {

std::size_t count_line_breaks(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string_view::npos; at += 2)
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = keeprun::fuzz::temp_folder();
    std::filesystem::remove(folder.path() + "data.ini");
    folder.write("jilu.txt", std::string_view(reinterpret_cast<const char*>(data), size));

    keeprun::StoredSettings first;
    first.record_lines = keeprun::load_record_lines(folder.path());
    const std::vector<std::string>& lines = first.record_lines;
    require(lines.size() <= keeprun::kRecordListLines, "at most 1000 lines restored");
    for (const std::string& line : lines) {
        require(keeprun::utf16_length(line) > 5, "only lines over 5 characters");
        require(line.find("\r\n") == std::string::npos, "no line break inside a line");
    }

    require(keeprun::save_settings(folder.path(), first), "the save succeeds");
    const auto saved = keeprun::read_file_bytes(folder.path() + "jilu.txt");
    require(saved && count_line_breaks(*saved) == keeprun::kRecordFileLines,
            "the saved record has 2001 lines");

    // The file is trimmed of spaces as a whole, so leading spaces of the first
    // line are not kept; every other restored line comes back as it was.
    if (lines.empty() || !lines.front().starts_with(' '))
        require(keeprun::load_record_lines(folder.path()) == lines,
                "a saved record restores the same lines");
    return 0;
}
