#include "system/copy_key_tracker.h"

namespace keeprun {

bool CopyKeyTracker::key_changed(CopyKey key, bool down) {
    down_[static_cast<std::size_t>(key)] = down;
    const CopyKeys now = keys();
    const bool combination = now.ctrl && (now.eight || now.keypad_eight);
    const bool went_down = combination && !combination_;
    combination_ = combination;
    pressed_ = pressed_ || went_down;
    return went_down;
}

CopyKeys CopyKeyTracker::keys() const {
    return {is_down(CopyKey::left_ctrl) || is_down(CopyKey::right_ctrl), is_down(CopyKey::eight),
            is_down(CopyKey::keypad_eight)};
}

bool CopyKeyTracker::take_pressed() {
    const bool pressed = pressed_;
    pressed_ = false;
    return pressed;
}

} // namespace keeprun
