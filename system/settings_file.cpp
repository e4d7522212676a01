#include "system/settings_file.h"

#include "system/file_io.h"
#include "system/files.h"
#include "system/ini.h"
#include "system/numbers.h"
#include "system/text.h"
#include "system/utf.h"

namespace keeprun {
namespace {

std::string ini_path(const std::string& data_folder) {
    return data_folder + kStoredFileNames[0];
}
// Older versions know only key "0" of [gx] and ignore this one.
constexpr const char* kRestartHungKey = "restart_hung";
constexpr const char* kNotifySection = "notify";

// Writes [notify] once there is anything to say, so a file that never had it
// stays as it was.
void set_notify(IniText& ini, const NotifySettings& notify) {
    if (notify == NotifySettings{} && !ini.get(kNotifySection, "url")) return;
    ini.set(kNotifySection, "url", notify.url);
    ini.set(kNotifySection, "kind", webhook_kind_name(notify.kind));
    ini.set(kNotifySection, "secret", notify.secret);
    ini.set(kNotifySection, "events",
            notify.events == kDefaultNoticeEvents ? "" : notice_events_text(notify.events));
}

std::string record_path(const std::string& data_folder) {
    return data_folder + kStoredFileNames[1];
}

// Slot i (0 to 7) is key i % 4 + 1 of [cx1] for the first four, [cx2] for the rest.
const char* slot_section(std::size_t i) {
    return i < 4 ? "cx1" : "cx2";
}
std::string slot_key(std::size_t i) {
    return std::to_string(i % 4 + 1);
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

bool save_settings(const std::string& data_folder, const StoredSettings& settings) {
    const std::string url = ini_path(data_folder);
    std::string bytes;
    bool ini_ok = read_for_rewrite(url, bytes);
    if (ini_ok) {
        // All values go into one replacement, so the file always holds one whole save.
        IniText ini(std::move(bytes));
        ini.set("gx", "0", std::to_string(settings.option));
        // Written once switched off, so a file that never had it stays as it was.
        if (!settings.restart_hung || ini.get("gx", kRestartHungKey))
            ini.set("gx", kRestartHungKey, settings.restart_hung ? "1" : "0");
        // Key by key, [cx1] before [cx2], as older versions wrote them.
        for (std::size_t n = 0; n < 4; ++n)
            for (const std::size_t i : {n, n + 4})
                ini.set(slot_section(i), slot_key(i),
                        escape_line_breaks(settings.param_strings[i]));
        set_notify(ini, settings.notify);
        // A webhook's secret lets anyone post to the group as this bot.
        ini_ok = write_file_atomic(url, ini.bytes(), !settings.notify.secret.empty());
    }
    const bool record_ok =
        write_text_file(record_path(data_folder), record_file_text(settings.record_lines));
    return ini_ok && record_ok;
}

bool load_restart_hung(const std::string& data_folder) {
    return trim_spaces(read_ini("gx", kRestartHungKey, ini_path(data_folder))) != "0";
}

std::string unreadable_stored_file(const std::string& data_folder) {
    for (const char* name : kStoredFileNames) {
        std::string ignored;
        if (!read_for_rewrite(data_folder + name, ignored))
            return data_folder + name + ": exists but cannot be read";
    }
    return {};
}

int load_option(const std::string& data_folder) {
    const double option = number_value(read_ini("gx", "0", ini_path(data_folder)));
    return option == 1 || option == 2 ? static_cast<int>(option) : 0;
}

NotifySettings load_notify_settings(const std::string& data_folder) {
    const std::string url = ini_path(data_folder);
    NotifySettings notify;
    notify.url = trim_spaces(read_ini(kNotifySection, "url", url));
    notify.kind = webhook_kind_from_name(read_ini(kNotifySection, "kind", url));
    notify.secret = trim_spaces(read_ini(kNotifySection, "secret", url));
    notify.events = notice_events_from_text(read_ini(kNotifySection, "events", url));
    return notify;
}

std::vector<std::string> load_record_lines(const std::string& data_folder) {
    return record_lines_to_restore(read_text_file(record_path(data_folder)));
}

std::array<std::string, 8> load_param_strings(const std::string& data_folder) {
    const std::string url = ini_path(data_folder);
    std::array<std::string, 8> strings;
    for (std::size_t i = 0; i < strings.size(); ++i)
        strings[i] = read_ini(slot_section(i), slot_key(i), url);
    return strings;
}

} // namespace keeprun
