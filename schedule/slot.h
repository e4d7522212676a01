#pragma once
// What both slot kinds share: the settings a panel shows and edits, the
// parameter string, "清除", the marks, the drop handler and the step executor.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/marks.h"
#include "schedule/ports.h"
#include "schedule/step_list.h"

namespace keeprun {

// What a drop did; the panel shows kDropRejectedText titled kDropRejectedTitle
// on `rejected`.
enum class DropOutcome { no_file, accepted, ignored, rejected };
inline constexpr std::string_view kDropRejectedText = "请拖入exe程序，不要拖入其它格式的文件";
inline constexpr std::string_view kDropRejectedTitle = "错误提示";

// A list with an editable text field: the items offered and the current text.
struct ChoiceList {
    std::vector<std::string> items;
    std::string text;
};

class Slot {
  public:
    explicit Slot(const Ports& ports) : ports_(ports) {}
    virtual ~Slot() = default;
    Slot(Slot&&) = default;

    // Start-up: slot number and hint; the path box shows the hint.
    void setup(int slot_number, std::string_view hint);
    int slot_number() const { return slot_number_; }
    std::string label() const; // "程序N"
    const std::string& hint() const { return hint_; }

    // The fields as texts, as the panel shows and edits them (i = 0..3). A field
    // never holds the separator of the parameter string: a text with it is
    // refused, the field keeps its text and the panel is told to show it again.
    const std::string& path_text() const { return path_text_; }
    // A changed text is a typed path: it starts without a shortcut's settings.
    void set_path_text(std::string text);
    // The arguments and start folder of the shortcut the program was dropped as.
    const StartSettings& start_settings() const { return start_; }
    const std::string& delay(int i) const;
    void set_delay(int i, std::string text);
    // The texts the delay list i offers.
    static const std::vector<std::string>& delay_items(int i);
    const std::string& position(int i) const;
    void set_position(int i, std::string text);
    // The two switches (k = 0, 1; hidden in the first kind) and their lists.
    int switch_value(int k) const;
    void set_switch(int k, int value);
    const ChoiceList& choice_list(int k) const;
    // Text typed or chosen in list k.
    void set_choice_text(int k, std::string text);
    // The list's text as the rules read it (blanks trimmed).
    std::string rule_text(int k) const;

    // Called after every change of a field, by the panel or by the engine.
    void set_on_change(std::function<void()> on_change) { on_change_ = std::move(on_change); }

    void clear_slot();
    Marks refresh_marks() const;
    std::string to_param_string() const;
    void apply_param_string(std::string_view text);
    // Files dropped onto the path box, as UTF-8 paths; only the first counts.
    DropOutcome drop_files(const std::vector<std::string>& files);

    // One step of the slot's cycle, once per tick.
    virtual void tick() = 0;
    const StepList& steps() const { return steps_; }

  protected:
    const Ports& ports() const { return ports_; }
    StepList& step_list() { return steps_; }
    // The trimmed path when the slot may act on it, else "".
    std::string usable_path() const;
    // The wait and click rows of every filled position.
    void add_click_rows();
    // Runs row `row`; false when it is a click held while the desktop takes no
    // input, so the slot goes on watching its program and rules meanwhile.
    bool run_step(int row);
    // Sets a switch without notifying; the second kind runs its handler here.
    virtual void apply_switch(int k, int value);
    virtual std::optional<std::array<bool, 2>> rule_lists_on() const { return {}; }
    // Rule list k's text as the parameter string holds it.
    virtual std::string stored_rule(int k) const { return rule_text(k); }
    // Takes rule list k's text from a parameter string; the first kind's hidden
    // lists keep theirs.
    virtual void restore_rule(int /*k*/, const std::string& /*stored*/) {}
    ChoiceList& choice_list_mut(int k) { return lists_.at(static_cast<std::size_t>(k)); }
    // After every change of the slot's settings; the slot's cycle starts afresh.
    void changed();
    virtual void settings_changed() {}
    // After every start that happened (before its event).
    virtual void program_started() {}
    // When this slot last started its program (steady seconds).
    std::optional<std::int64_t> last_start() const { return last_start_; }
    // "HH:MM:SS text", the form of every run record line.
    std::string record_line(std::string_view text) const;
    void report(SlotEventKind kind, const std::string& path, std::string_view text,
                bool again = false);
    // The next start is of a program that ran and is gone: its event says so.
    void mark_next_start_again(bool again) { next_start_again_ = again; }

  private:
    void reset_fields();
    void stamp_next_wait(int row);
    // Which click of the list row `row` is, from 1.
    int click_number(int row) const;
    // Whether a start follows row `row` in the step list.
    bool opens_after(int row) const;
    // After a failed start: the waits and clicks that follow it are dropped.
    void skip_clicks_after(int row);

    Ports ports_;
    int slot_number_ = 0;
    std::string hint_;
    std::string path_text_;
    StartSettings start_;
    std::array<std::string, 4> delays_{"8", "3", "3", "3"};
    std::array<std::string, 4> positions_{};
    std::array<int, 2> switches_{0, 0};
    std::array<ChoiceList, 2> lists_{ChoiceList{{}, ""}, ChoiceList{{}, "20:01"}};
    StepList steps_;
    std::optional<std::int64_t> last_start_;
    bool next_start_again_ = false;
    std::function<void()> on_change_;
};

} // namespace keeprun
