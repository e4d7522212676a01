#pragma once
// Keeps the settings and the run record on disk without asking: within a minute
// after they change, so a power cut loses at most that minute, and on demand
// when the session ends under keeprun.
#include <QTimer>
#include <string>
#include <vector>

namespace keeprun {

class SettingsView;

class SessionSaver {
  public:
    // `view` must outlive the saver.
    explicit SessionSaver(const SettingsView& view);

    // The view now holds the user's settings as loaded from `data_folder`: from
    // here on they are saved, first of all by the minute timer.
    void start(const std::string& data_folder);
    // Saves as the confirmed close does; does nothing (true) before start, when
    // the view holds nothing of the user's yet. False when a file was not written.
    bool save();
    // The minute timer's handler: saves when anything changed since the last save.
    void save_if_changed();

    QTimer minute_timer;

  private:
    std::vector<std::string> contents() const;

    const SettingsView& view_;
    bool started_ = false;
    std::string data_folder_;
    std::vector<std::string> saved_;
};

} // namespace keeprun
