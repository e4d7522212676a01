#pragma once
// One keeprun session, with or without a window: the eight slots, the server's
// program aliases that the running check uses, the run record and the option.
// A window, a command line or a test drives it alike; its listeners hear of
// every change.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "schedule/master_switch.h"
#include "schedule/ports.h"
#include "system/settings_file.h"

namespace keeprun {

class SessionListener {
  public:
    virtual ~SessionListener() = default;
    // A slot's fields, marks or pause changed (slot numbers 1 to 8).
    virtual void slot_changed(int /*slot_number*/) {}
    // A line was added to the run record; the oldest may have gone.
    virtual void record_line_added(const std::string& /*line*/) {}
    // A slot started or ended its program, or found it unwell (after its record line).
    virtual void slot_event(const SlotEvent& /*event*/) {}
    virtual void option_changed(int /*value*/) {}
    virtual void policy_changed(const SlotPolicy& /*policy*/) {}
    virtual void notify_changed(const NotifySettings& /*settings*/) {}
};

// What the session needs from outside: the engine's ports less those the
// session is itself (the slots' events, the message flag) or holds (the aliases).
struct SessionPorts {
    const Clock& clock;
    const FileStatus& files;
    ProcessControl& processes;
    WindowPing& pings;
    Clicker& clicker;
    const ShortcutReader& shortcuts;
    FileRules rules = native_file_rules;
};

class Session final : private SlotEvents, private MessageBoxFlag {
  public:
    // Lines the run record keeps at most; the oldest goes first.
    static constexpr std::size_t kRecordLines = kRecordListLines;

    explicit Session(const SessionPorts& ports);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Listeners must outlive the session or be removed first.
    void add_listener(SessionListener& listener);
    void remove_listener(SessionListener& listener);

    // Slots 1 to 8: keep-alive slots 1-4, timed slots 5-8.
    Slot& slot(int slot_number);
    const Slot& slot(int slot_number) const;
    MasterSwitch& master_switch() { return slots_; }

    // Start-up: each slot's number and hint, the timed slots' rule lists.
    void set_up_slots();
    // Where data.ini and jilu.txt are; "" until known. A folder that cannot be
    // used (`error` says why) is neither read nor written.
    void set_data_folder(std::string folder, std::string error = {});
    const std::string& data_folder() const { return data_folder_; }
    // "" while the data folder may be read and written; else why it may not:
    // the folder's error, or a stored file that exists but could not be read,
    // which a save would overwrite with what the user never saw.
    const std::string& unusable() const { return unusable_; }
    // The option and the run record from the data folder.
    void load_settings();
    // The slots' stored settings from the data folder.
    void load_slots();
    // Everything a save writes, as it stands now.
    StoredSettings stored() const;
    // Writes data.ini and jilu.txt; false when either could not be written,
    // or nothing was written because the folder is unusable.
    bool save() const;
    bool save(const StoredSettings& settings) const;

    int option() const { return option_; }
    void set_option(int value);
    const SlotPolicy& policy() const { return policy_; }
    void set_policy(const SlotPolicy& policy);
    // Where notices go: the [notify] section.
    const NotifySettings& notify() const { return notify_; }
    void set_notify(const NotifySettings& settings);
    const std::deque<std::string>& record() const { return record_; }
    void add_record_line(const std::string& line);
    void set_program_aliases(const ExeAliasTable& aliases) { aliases_ = aliases; }
    // While the front end shows a message, no slot acts.
    void set_message_shown(bool shown) { message_shown_ = shown; }

    // Every 500 ms once start-up has finished: one step of every slot.
    void tick() { slots_.master_tick(); }

  private:
    void slot_event(const SlotEvent& event) override;
    bool is_open() const override { return message_shown_; }
    template <typename Call> void tell(Call call);
    // Checks the stored files once more before a load; true when they may be used.
    bool may_load();

    ExeAliasTable aliases_;
    SlotPolicy policy_;
    NotifySettings notify_;
    Ports ports_;
    MasterSwitch slots_;
    std::string data_folder_;
    std::string unusable_;
    int option_ = 0;
    bool message_shown_ = false;
    std::deque<std::string> record_;
    std::vector<SessionListener*> listeners_;
};

} // namespace keeprun
