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
    // Ends the one process found or started last for `path`: a program that hangs.
    virtual void end_pinned(const std::string& path) = 0;
    // Whether that process crashed and a crash dialog holds it; if so, ends both.
    virtual bool end_if_crashed(const std::string& path) = 0;
};

// What a running program's windows made of the last ping sent to them.
enum class PingReply {
    not_asked, // no window of the program can be asked (or none was yet)
    answered,  // a window answered
    silent,    // windows were asked and none answered
};

// Asks the windows of a slot's running program whether they still answer.
// Neither call waits for the program.
class WindowPing {
  public:
    virtual ~WindowPing() = default;
    // The answer to the last ping for `path`.
    virtual PingReply reply(const std::string& path) = 0;
    // Pings every top-level window of the process found or started last for `path`.
    virtual void ping(const std::string& path) = 0;
};

class Clicker {
  public:
    virtual ~Clicker() = default;
    // Whether a click would reach the desktop now: not while the screen is
    // locked, the session disconnected, or another program holds the pointer.
    virtual bool desktop_takes_input() = 0;
    // Clicks at the coordinate text ("x*y") and puts the cursor back; false when
    // the system refused the click. It may let window messages run meanwhile, so
    // a tick can arrive from inside it.
    virtual bool click(const std::string& position) = 0;
};

// What a slot did or saw, with the run record's line for it.
enum class SlotEventKind {
    opened,       // started its program
    open_failed,  // the start did not happen (cancelled, refused, the file gone)
    closed,       // ended its program on time
    hung,         // ended its program, whose windows had stopped answering
    crashed,      // ended its program, held by a crash dialog
    crash_loop,   // its program exits quickly after every start: the next start waits
    click_failed, // the system refused one of the clicks after a start
};

struct SlotEvent {
    SlotEventKind kind;
    int slot_number;
    std::string path;
    std::string line;
    // `opened`: a keep-alive slot started its program again after seeing it run;
    // `closed`: a timed slot's close that a start follows (a timed restart).
    bool again = false;
};

class SlotEvents {
  public:
    virtual ~SlotEvents() = default;
    virtual void slot_event(const SlotEvent& event) = 0;
};

// Switches the user sets for every slot.
struct SlotPolicy {
    // A kept program whose windows stop answering is ended and started again.
    bool restart_hung = true;
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
    WindowPing& pings;
    Clicker& clicker;
    SlotEvents& events;
    const MessageBoxFlag& message_box;
    const ShortcutReader& shortcuts;
    const ExeAliasTable& aliases;
    const SlotPolicy& policy;
    FileRules rules = native_file_rules;
};

} // namespace keeprun
