#include "system/program_file.h"

#include <string>

#include "system/utf.h"

namespace keeprun {
namespace {

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

std::u16string lower_u16(std::string_view text) {
    std::u16string s = to_u16(text);
    for (char16_t& c : s)
        c = lower(c);
    return s;
}

// The last three characters in lower case equal `ext` (three ASCII letters).
bool last_three_are(std::string_view path, std::u16string_view ext) {
    const std::u16string s = lower_u16(path);
    return s.size() >= 3 && s.substr(s.size() - 3) == ext;
}

} // namespace

bool slot_path_usable(FileRules rules, std::string_view path, const FileStatus& files) {
    if (path.empty()) return false;
    if (rules == FileRules::windows)
        return lower_u16(path).find(u".exe") != std::u16string::npos && files.status(path).exists;
    return files.status(path).executable;
}

bool path_shown_dark(FileRules rules, std::string_view path) {
    if (rules == FileRules::windows) return path.find(":\\") != std::string_view::npos;
    return path.starts_with('/');
}

bool is_dropped_program(FileRules rules, std::string_view path, const FileStatus& files) {
    if (rules == FileRules::windows) return last_three_are(path, u"exe");
    return !path.empty() && files.status(path).executable;
}

bool is_dropped_shortcut(FileRules rules, std::string_view path) {
    if (rules == FileRules::windows) return last_three_are(path, u"lnk");
    const std::u16string s = lower_u16(path);
    return s.ends_with(u".desktop");
}

} // namespace keeprun
