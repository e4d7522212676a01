#pragma once
// The copy keys as the system's key events tell them, kept the same way
// whichever system tells.
#include <bitset>

#include "system/copy_hotkey.h"

namespace keeprun {

enum class CopyKey { left_ctrl, right_ctrl, eight, keypad_eight };

class CopyKeyTracker {
  public:
    // One of the keys went down or up; true when the combination has just gone down.
    bool key_changed(CopyKey key, bool down);
    CopyKeys keys() const;
    // Whether the combination went down since the last call.
    bool take_pressed();

  private:
    bool is_down(CopyKey key) const { return down_[static_cast<std::size_t>(key)]; }

    std::bitset<4> down_;
    bool combination_ = false;
    bool pressed_ = false;
};

} // namespace keeprun
