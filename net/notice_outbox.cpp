#include "net/notice_outbox.h"

#include <algorithm>

namespace keeprun {

void NoticeOutbox::add(const Notice& notice, std::int64_t now) {
    if (!gathering_.empty() && gathering_.front().minute != notice.minute) close_gathering();
    if (gathering_.empty()) gathering_ends_ = now + 60 - std::clamp(notice.second, 0, 59);
    gathering_.push_back(notice);
}

void NoticeOutbox::close_gathering() {
    push(Message{std::move(gathering_), 0, gathering_ends_});
    gathering_.clear();
}

void NoticeOutbox::push(Message message) {
    if (queue_.size() >= kMaxMessages) {
        queue_.pop_front();
        ++overflowed_;
    }
    queue_.push_back(std::move(message));
}

std::optional<std::vector<Notice>> NoticeOutbox::due(std::int64_t now) {
    if (!gathering_.empty() && now >= gathering_ends_) close_gathering();
    if (queue_.empty() || queue_.front().next_try > now) return std::nullopt;
    return queue_.front().notices;
}

std::optional<std::string> NoticeOutbox::sent(const std::string& failure, std::int64_t now) {
    if (queue_.empty()) return std::nullopt;
    Message& m = queue_.front();
    if (failure.empty()) {
        queue_.pop_front();
        return std::nullopt;
    }
    if (m.tries < kRetryWaits.size()) {
        m.next_try = now + kRetryWaits[m.tries++];
        // The others wait behind it, so they keep their order.
        return std::nullopt;
    }
    const std::string line = "a message to the chat group was dropped after " +
                             std::to_string(m.tries + 1) + " tries (" + failure +
                             "): " + m.notices.front().text;
    queue_.pop_front();
    return line;
}

std::optional<std::int64_t> NoticeOutbox::next_due() const {
    std::optional<std::int64_t> next;
    if (!queue_.empty()) next = queue_.front().next_try;
    if (!gathering_.empty()) next = std::min(next.value_or(gathering_ends_), gathering_ends_);
    return next;
}

void NoticeOutbox::clear() {
    gathering_.clear();
    queue_.clear();
}

} // namespace keeprun
