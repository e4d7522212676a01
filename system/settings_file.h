#pragma once
// data.ini and jilu.txt in the data folder: the main window's option, the eight
// slots' parameter strings and the run record. The window hands everything over
// as texts, so this layer knows nothing of slots or widgets.
#include <string>
#include <string_view>
#include <vector>

namespace keeprun {

// What the settings file reads from and gives to the main window.
class SettingsView {
  public:
    virtual ~SettingsView() = default;
    // The option box "打开本软件时最小化.": 0 unticked, 1 ticked, 2 greyed.
    virtual int option() const = 0;
    virtual void set_option(int value) = 0;
    // Parameter string of slot n (1 to 4) of kind 1 or 2.
    virtual std::string slot_param_string(int kind, int n) const = 0;
    virtual void set_slot_param_string(int kind, int n, const std::string& param_string) = 0;
    // The record list, oldest line first; add_record_line appends one line.
    virtual std::vector<std::string> record_lines() const = 0;
    virtual void add_record_line(const std::string& line) = 0;
};

// Lines the run record file holds, and lines the record list keeps at most.
inline constexpr int kRecordFileLines = 2001;
inline constexpr std::size_t kRecordListLines = 1000;

// Writes data.ini (in one replacement) and jilu.txt; false when either failed,
// in which case that file keeps its previous content.
bool save_settings(const std::string& data_folder, const SettingsView& view);
// The option from data.ini and the record list from jilu.txt.
void load_settings(const std::string& data_folder, SettingsView& view);
// The eight parameter strings from data.ini ("" for each missing one).
void load_slots(const std::string& data_folder, SettingsView& view);

// jilu.txt's text for these record lines: 2001 lines, each ended by CR LF.
std::string record_file_text(const std::vector<std::string>& lines);
// The record lines to restore from jilu.txt's text: lines over 5 characters of
// a text over 4 characters, at most the last 1000.
std::vector<std::string> record_lines_to_restore(std::string_view text);

} // namespace keeprun
