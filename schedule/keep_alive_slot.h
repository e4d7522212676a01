#pragma once
// First slot kind: keeps its program running, opening it again whenever it has
// gone (or hangs, or is held by a crash dialog), then clicks at the filled
// positions. A program that exits quickly after every start is started less often.
#include <cstdint>
#include <optional>

#include "schedule/slot.h"
#include "schedule/watch_limits.h"

namespace keeprun {

class KeepAliveSlot final : public Slot {
  public:
    using Slot::Slot;

    // The "暂停" button: a paused slot does nothing (its pending rows wait).
    bool paused() const { return paused_; }
    void toggle_pause();
    // Starts in a row after which the program was gone within kQuickExitSeconds.
    int quick_exits() const { return quick_exits_; }

    void tick() override;

  protected:
    void settings_changed() override;
    void program_started() override { seen_running_ = true; }

  private:
    // While the program runs: asks its windows and looks for a crash dialog;
    // true when it was ended for either.
    bool ended_unwell(const std::string& path, std::int64_t now);
    void start_again(const std::string& path, std::int64_t now);

    bool paused_ = false;
    // The program was started or seen running since the slot's settings last
    // changed: a start after that brings back a program that was gone.
    bool seen_running_ = false;
    int quick_exits_ = 0;
    std::int64_t next_ping_ = 0;
    std::int64_t next_crash_check_ = 0;
    std::optional<std::int64_t> last_ping_;
    // When the first ping that got no answer was sent.
    std::optional<std::int64_t> silent_since_;
};

} // namespace keeprun
