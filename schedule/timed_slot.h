#pragma once
// Second slot kind: closes its program, or closes and reopens it, when its time
// rule comes due. Switch 0 is restart (rule list 0), switch 1 close (list 1, the
// close time); at most one of them is on.
#include <string>
#include <vector>

#include "schedule/slot.h"

namespace keeprun {

class TimedSlot final : public Slot {
  public:
    using Slot::Slot;

    // Start-up: the rule lists from the time-rule lines and the default restart rule.
    void setup_rule_lists(const std::vector<std::string>& rule_lines, int default_rule);
    // Top edge of both lists when opened, in main-window twips.
    int rule_list_top() const { return rule_list_top_; }

    void tick() override;

  protected:
    void apply_switch(int k, int value) override;
    std::optional<std::array<FieldColours, 2>> rule_list_marks() const override;

  private:
    void select_rule(int k, int index);

    int rule_list_top_ = 0;
};

} // namespace keeprun
