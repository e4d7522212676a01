#include "app/notice_relay.h"

#include "schedule/local_ports.h"
#include "system/machine_name.h"

namespace keeprun {

NoticeRelay::NoticeRelay(Session& session)
    : session_(session), machine_(machine_name()), maker_(machine_) {
    notifier_.set_settings(session.notify());
    session.add_listener(*this);
}

NoticeRelay::~NoticeRelay() {
    session_.remove_listener(*this);
}

void NoticeRelay::slot_event(const SlotEvent& event) {
    const std::optional<Notice> notice =
        maker_.make(event, local_clock().now(), local_utc_offset_seconds());
    if (!notice) return;
    notifier_.add(*notice);
    if (on_notice_) on_notice_(*notice);
}

void NoticeRelay::notify_changed(const NotifySettings& settings) {
    notifier_.set_settings(settings);
}

} // namespace keeprun
