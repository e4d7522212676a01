#include "app/session_saver.h"

namespace keeprun {
SessionSaver::SessionSaver(Session& session) : session_(session) {
    minute_timer.setInterval(60 * 1000);
    QObject::connect(&minute_timer, &QTimer::timeout, [this] { save_if_changed(); });
    session_.add_listener(*this);
}

SessionSaver::~SessionSaver() {
    session_.remove_listener(*this);
}

void SessionSaver::start() {
    started_ = true;
    changed_ = false;
    saved_ = session_.stored();
    minute_timer.start();
}

bool SessionSaver::save() {
    if (!started_) return true;
    StoredSettings now = session_.stored();
    if (!session_.save(now)) return false;
    saved_ = std::move(now);
    changed_ = false;
    return true;
}

void SessionSaver::save_if_changed() {
    if (!started_ || !changed_) return;
    // A failed save is tried again at the next tick; the close says so if it still fails.
    if (session_.stored() == saved_)
        changed_ = false;
    else
        save();
}

} // namespace keeprun
