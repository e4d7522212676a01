#include "system/settings_file.h"

#include "system/file_io.h"
#include "system/files.h"
#include "system/ini.h"
#include "system/numbers.h"
#include "system/utf.h"

namespace keeprun {
namespace {

std::string ini_path(const std::string& data_folder) {
    return data_folder + "data.ini";
}
std::string record_path(const std::string& data_folder) {
    return data_folder + "jilu.txt";
}

const char* slot_section(int kind) {
    return kind == 1 ? "cx1" : "cx2";
}

} // namespace

std::string record_file_text(const std::vector<std::string>& lines) {
    // The list never holds more than the frame; should it, the newest lines win.
    const std::size_t skip = lines.size() > kRecordFileLines ? lines.size() - kRecordFileLines : 0;
    std::string text;
    for (std::size_t i = 0; i < kRecordFileLines; ++i) {
        if (i > 0) text += "\r\n";
        if (skip + i < lines.size()) text += lines[skip + i];
    }
    return text;
}

std::vector<std::string> record_lines_to_restore(std::string_view text) {
    std::vector<std::string> lines;
    if (utf16_length(text) <= 4) return lines;
    std::size_t at = 0;
    for (;;) {
        const std::size_t cut = text.find("\r\n", at);
        const std::string_view line =
            text.substr(at, cut == std::string_view::npos ? cut : cut - at);
        if (utf16_length(line) > 5) lines.emplace_back(line);
        if (cut == std::string_view::npos) break;
        at = cut + 2;
    }
    if (lines.size() > kRecordListLines)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kRecordListLines));
    return lines;
}

bool save_settings(const std::string& data_folder, const SettingsView& view) {
    const std::string url = ini_path(data_folder);
    std::string bytes;
    bool ini_ok = read_for_rewrite(url, bytes);
    if (ini_ok) {
        // All nine values go into one replacement, so the file always holds one whole save.
        IniText ini(std::move(bytes));
        ini.set("gx", "0", std::to_string(view.option()));
        for (int n = 1; n <= 4; ++n)
            for (int kind = 1; kind <= 2; ++kind)
                ini.set(slot_section(kind), std::to_string(n),
                        escape_line_breaks(view.slot_param_string(kind, n)));
        ini_ok = write_file_atomic(url, ini.bytes());
    }
    const bool record_ok =
        write_text_file(record_path(data_folder), record_file_text(view.record_lines()));
    return ini_ok && record_ok;
}

void load_settings(const std::string& data_folder, SettingsView& view) {
    // The box knows only the states 0, 1 and 2; anything else leaves it unticked.
    const double option = number_value(read_ini("gx", "0", ini_path(data_folder)));
    view.set_option(option == 1 || option == 2 ? static_cast<int>(option) : 0);
    for (const std::string& line :
         record_lines_to_restore(read_text_file(record_path(data_folder))))
        view.add_record_line(line);
}

void load_slots(const std::string& data_folder, SettingsView& view) {
    const std::string url = ini_path(data_folder);
    for (int n = 1; n <= 4; ++n)
        for (int kind = 1; kind <= 2; ++kind)
            view.set_slot_param_string(kind, n,
                                       read_ini(slot_section(kind), std::to_string(n), url));
}

} // namespace keeprun
