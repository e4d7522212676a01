#pragma once
// Second slot kind: closes its program, or closes and reopens it, when its time
// rule comes due. Switch 0 is restart (rule list 0), switch 1 close (list 1, the
// close time); at most one of them is on.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "schedule/slot.h"

namespace keeprun {

class TimedSlot final : public Slot {
  public:
    using Slot::Slot;

    // Start-up: the rule lists from the time-rule lines and the default restart rule.
    void setup_rule_lists(const std::vector<std::string>& rule_lines, int default_rule);

    void tick() override;

  protected:
    void settings_changed() override { quick_exits_ = 0; }
    void apply_switch(int k, int value) override;
    std::optional<std::array<bool, 2>> rule_lists_on() const override;
    // A time of day is stored as HH:MM:SS, the form of the list's times.
    std::string stored_rule(int k) const override;
    // A stored preset or time of day comes back; any other text leaves the
    // default rule with its switch off.
    void restore_rule(int k, const std::string& stored) override;

  private:
    void select_rule(int k, int index);
    // After a start: whether the program was gone again soon (a quick exit)
    // or lasted; a run of quick exits is told in the record, never waited for.
    void watch_start();

    int default_rule_ = 0;
    // Starts of the due windows that started a list, in serial seconds, back
    // to a day before the clock's time.
    std::set<std::int64_t> fired_windows_;
    int quick_exits_ = 0;
    // The start watch_start has judged.
    std::optional<std::int64_t> judged_start_;
};

} // namespace keeprun
