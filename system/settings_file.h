#pragma once
// data.ini and jilu.txt in the data folder: the option, the eight slots'
// parameter strings and the run record. Everything comes and goes as texts, so
// this layer knows nothing of slots or widgets.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "system/notice.h"

namespace keeprun {

// The files of the data folder: the settings, then the run record.
inline constexpr const char* kStoredFileNames[] = {"data.ini", "jilu.txt"};

// What one save writes.
struct StoredSettings {
    // The option box "打开本软件时最小化.": 0 unticked, 1 ticked, 2 greyed.
    int option = 0;
    // The tray's "程序未响应时自动重新打开": a kept program that hangs is started again.
    bool restart_hung = true;
    // Slots 1 to 8 in order: [cx1] keys 1-4, then [cx2] keys 1-4.
    std::array<std::string, 8> param_strings;
    // The run record, oldest line first.
    std::vector<std::string> record_lines;
    // [notify]: where notices go; an older keeprun ignores the section.
    NotifySettings notify;

    bool operator==(const StoredSettings&) const = default;
};

// Lines the run record file holds, and lines the record list keeps at most.
inline constexpr int kRecordFileLines = 2001;
inline constexpr std::size_t kRecordListLines = 1000;

// Writes data.ini (in one replacement) and jilu.txt; false when either failed,
// in which case that file keeps its previous content.
bool save_settings(const std::string& data_folder, const StoredSettings& settings);
// "" when every stored file of the folder is missing or can be read; else the
// one that exists but cannot be read, with why. Saving over it would erase what
// the user stored.
std::string unreadable_stored_file(const std::string& data_folder);
// The option from data.ini: 0, 1 or 2 (anything else reads as 0).
int load_option(const std::string& data_folder);
// The hang switch from data.ini; on unless stored as 0.
bool load_restart_hung(const std::string& data_folder);
// The [notify] section of data.ini.
NotifySettings load_notify_settings(const std::string& data_folder);
// The record lines to restore from jilu.txt.
std::vector<std::string> load_record_lines(const std::string& data_folder);
// The eight parameter strings from data.ini ("" for each missing one).
std::array<std::string, 8> load_param_strings(const std::string& data_folder);

// jilu.txt's text for these record lines: 2001 lines, each ended by CR LF.
std::string record_file_text(const std::vector<std::string>& lines);
// The record lines to restore from jilu.txt's text: lines over 5 characters of
// a text over 4 characters, at most the last 1000.
std::vector<std::string> record_lines_to_restore(std::string_view text);

} // namespace keeprun
