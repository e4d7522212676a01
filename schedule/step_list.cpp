#include "schedule/step_list.h"

namespace keeprun {

void StepList::clear() {
    for (Step& s : rows_)
        s = Step{};
    used_ = 0;
    ++generation_;
}

void StepList::add(StepAction action, std::string argument, std::optional<std::int64_t> start) {
    if (used_ == kMaxRows) return;
    rows_[static_cast<std::size_t>(used_++)] =
        Step{StepFlag::pending, action, start, std::move(argument)};
}

int StepList::first_pending() const {
    for (int r = 1; r <= used_; ++r)
        if (row(r).flag == StepFlag::pending) return r;
    return 0;
}

} // namespace keeprun
