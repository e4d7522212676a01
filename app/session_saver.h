#pragma once
// Keeps the session's settings and run record on disk without asking: within a
// minute after they change, so a power cut loses at most that minute, and on
// demand when the desktop session ends under keeprun.
#include <QTimer>

#include "schedule/session.h"

namespace keeprun {

class SessionSaver : private SessionListener {
  public:
    // `session` must outlive the saver.
    explicit SessionSaver(Session& session);
    ~SessionSaver() override;

    // The session now holds the user's settings as loaded: from here on they
    // are saved, first of all by the minute timer.
    void start();
    // Saves as the confirmed close does; does nothing (true) before start, when
    // the session holds nothing of the user's yet. False when a file was not written.
    bool save();
    // The minute timer's handler: saves when anything changed since the last save.
    void save_if_changed();

    QTimer minute_timer;

  private:
    void slot_changed(int) override { changed_ = true; }
    void record_line_added(const std::string&) override { changed_ = true; }
    void option_changed(int) override { changed_ = true; }
    void policy_changed(const SlotPolicy&) override { changed_ = true; }
    void notify_changed(const NotifySettings&) override { changed_ = true; }

    Session& session_;
    bool started_ = false;
    // Told of a change since the last comparison; a change undone again saves nothing.
    bool changed_ = false;
    StoredSettings saved_;
};

} // namespace keeprun
