#pragma once
// First slot kind: keeps its program running, opening it again whenever it has
// gone, then clicks at the filled positions.
#include "schedule/slot.h"

namespace keeprun {

class KeepAliveSlot final : public Slot {
  public:
    using Slot::Slot;

    // The "暂停" button: a paused slot does nothing (its pending rows wait).
    bool paused() const { return paused_; }
    void toggle_pause();

    void tick() override;

  private:
    bool paused_ = false;
};

} // namespace keeprun
