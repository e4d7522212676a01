#pragma once
// A slot's queue of pending actions, worked off one row per tick.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace keeprun {

enum class StepAction { none, wait, open, close, click };
enum class StepFlag { unused, pending, done };

struct Step {
    StepFlag flag = StepFlag::unused;
    StepAction action = StepAction::none;
    std::optional<std::int64_t> start; // wait: when the wait began (steady seconds)
    std::string argument;              // wait: seconds; open/close: path; click: position
};

class StepList {
  public:
    static constexpr int kMaxRows = 50;

    // Clears every row; a step running meanwhile sees the list was replaced.
    void clear();
    // Appends a pending row after the used ones; a full list takes no more.
    void add(StepAction action, std::string argument,
             std::optional<std::int64_t> start = std::nullopt);
    // Number of the first pending row (from 1), 0 when none is.
    int first_pending() const;
    int size() const { return used_; }
    // Row `r`, numbered from 1; valid up to size().
    Step& row(int r) { return rows_[static_cast<std::size_t>(r - 1)]; }
    const Step& row(int r) const { return rows_[static_cast<std::size_t>(r - 1)]; }
    // Changes whenever the list is emptied.
    std::uint64_t generation() const { return generation_; }

  private:
    std::array<Step, kMaxRows> rows_{};
    int used_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace keeprun
