#pragma once
// Everything the scheduling engine needs from outside. The program plugs in the
// real clock, processes, mouse and message box; tests plug in fakes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/local_time.h"
#include "system/exe_alias.h"
#include "system/program_file.h"
#include "system/shortcut.h"

namespace keeprun {

class Clock {
  public:
    virtual ~Clock() = default;
    // The local date and time of day, whole seconds; the rules read it.
    virtual LocalTime now() const = 0;
    // Whole seconds of a clock that no setting, time zone or summer time moves;
    // only differences count. Waits are measured on it.
    virtual std::int64_t steady_seconds() const = 0;
};

// Process control, given the slot's path (trimmed).
class ProcessControl {
  public:
    virtual ~ProcessControl() = default;
    // `aliases`: the server's table of program files run under another name.
    virtual bool is_running(const std::string& path, const ExeAliasTable& aliases) = 0;
    // Starts the program with the settings, or, while a start for the path is
    // under way, asks about that one. A start never holds the caller: one that
    // waits for the user is `pending` until it has ended.
    virtual StartOutcome open(const std::string& path, const StartSettings& how) = 0;
    // Ends every running instance.
    virtual void close(const std::string& path) = 0;
};

class Clicker {
  public:
    virtual ~Clicker() = default;
    // Clicks at the coordinate text ("x*y") and puts the cursor back. It may let
    // window messages run meanwhile, so a tick can arrive from inside it.
    virtual void click(const std::string& position) = 0;
};

// What a slot did to its program, with the run record's line for it.
class SlotEvents {
  public:
    virtual ~SlotEvents() = default;
    virtual void program_opened(int slot_number, const std::string& path,
                                const std::string& line) = 0;
    virtual void program_closed(int slot_number, const std::string& path,
                                const std::string& line) = 0;
    // The start did not happen (cancelled, refused, the file gone); it counts
    // as a program that ended at once.
    virtual void program_open_failed(int slot_number, const std::string& path,
                                     const std::string& line) = 0;
};

// The main window's message box: no slot acts while it is open.
class MessageBoxFlag {
  public:
    virtual ~MessageBoxFlag() = default;
    virtual bool is_open() const = 0;
};

// Reads a dropped shortcut; nothing when it cannot be read.
class ShortcutReader {
  public:
    virtual ~ShortcutReader() = default;
    virtual std::optional<Shortcut> read(std::string_view shortcut_path) const = 0;
};

// The engine's view of the outside; every reference must outlive the slots.
struct Ports {
    const Clock& clock;
    const FileStatus& files;
    ProcessControl& processes;
    Clicker& clicker;
    SlotEvents& events;
    const MessageBoxFlag& message_box;
    const ShortcutReader& shortcuts;
    const ExeAliasTable& aliases;
    FileRules rules = native_file_rules;
};

} // namespace keeprun
