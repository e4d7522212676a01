#pragma once
// Tells people what the slots went through: the chat group through the
// notifier's thread, the desktop through whoever listens (the tray).
#include <functional>

#include "net/notifier.h"
#include "schedule/notices.h"
#include "schedule/session.h"

namespace keeprun {

class NoticeRelay : private SessionListener {
  public:
    // `session` must outlive the relay.
    explicit NoticeRelay(Session& session);
    ~NoticeRelay() override;

    Notifier& notifier() { return notifier_; }
    const std::string& machine() const { return machine_; }
    // Hears every notice as it is made, whatever the chat group wants.
    void set_on_notice(std::function<void(const Notice&)> on_notice) {
        on_notice_ = std::move(on_notice);
    }

  private:
    void slot_event(const SlotEvent& event) override;
    void notify_changed(const NotifySettings& settings) override;

    Session& session_;
    std::string machine_;
    NoticeMaker maker_;
    Notifier notifier_;
    std::function<void(const Notice&)> on_notice_;
};

} // namespace keeprun
