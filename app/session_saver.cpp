#include "app/session_saver.h"

#include "system/settings_file.h"

namespace keeprun {

SessionSaver::SessionSaver(const SettingsView& view) : view_(view) {
    minute_timer.setInterval(60 * 1000);
    QObject::connect(&minute_timer, &QTimer::timeout, [this] { save_if_changed(); });
}

void SessionSaver::start(const std::string& data_folder) {
    data_folder_ = data_folder;
    started_ = true;
    saved_ = contents();
    minute_timer.start();
}

bool SessionSaver::save() {
    if (!started_) return true;
    std::vector<std::string> now = contents();
    if (!save_settings(data_folder_, view_)) return false;
    saved_ = std::move(now);
    return true;
}

void SessionSaver::save_if_changed() {
    // A failed save is tried again at the next tick; the close says so if it still fails.
    if (started_ && contents() != saved_) save();
}

// Everything save_settings writes, as texts.
std::vector<std::string> SessionSaver::contents() const {
    std::vector<std::string> all = view_.record_lines();
    all.push_back(std::to_string(view_.option()));
    for (int kind = 1; kind <= 2; ++kind)
        for (int n = 1; n <= 4; ++n)
            all.push_back(view_.slot_param_string(kind, n));
    return all;
}

} // namespace keeprun
