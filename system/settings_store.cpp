#include "system/settings_store.h"

#include "system/file_io.h"
#include "system/ini.h"

namespace keeprun {
namespace {

bool fits_ini(std::string_view text, std::string_view forbidden) {
    return text.find_first_of(forbidden) == std::string_view::npos;
}

constexpr std::string_view kLineChars{"\r\n\0", 3};

bool usable_name(std::string_view section, std::string_view key) {
    return !section.empty() && !key.empty() && fits_ini(section, "]") &&
           fits_ini(section, kLineChars) && fits_ini(key, "=[") && fits_ini(key, kLineChars);
}

} // namespace

std::string FileSettingsStore::file_of(std::string_view app) const {
    // Any application name becomes a safe file name.
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : app) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '_' || c == '-';
        if (plain) {
            name += static_cast<char>(c);
        } else {
            name += '%';
            name += hex[c >> 4];
            name += hex[c & 15];
        }
    }
    return folder_ + "/" + name + ".ini";
}

std::string FileSettingsStore::get(std::string_view app, std::string_view section,
                                   std::string_view key) {
    if (!usable_name(section, key)) return {};
    const auto bytes = read_file_bytes(file_of(app));
    if (!bytes) return {};
    return IniText(*bytes).get(section, key).value_or("");
}

bool FileSettingsStore::save(std::string_view app, std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!usable_name(section, key) || !fits_ini(value, kLineChars)) return false;
    if (!make_folders(folder_).empty()) return false;
    const std::string file = file_of(app);
    std::string bytes;
    if (!read_for_rewrite(file, bytes)) return false;
    IniText ini(std::move(bytes));
    // Quoted, so the text comes back exactly, blanks and quotes of its own included.
    ini.set(section, key, "\"" + std::string(value) + "\"");
    return write_file_atomic(file, ini.bytes());
}

} // namespace keeprun
