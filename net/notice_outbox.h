#pragma once
// The notices waiting to go to a chat group: those of one minute gathered into
// one message, the messages queued (at most 100, the oldest dropped first), a
// failed send tried again 3 times over about 5 minutes, then dropped. No clock
// and no thread of its own: the caller says what time it is, on the steady clock.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "system/notice.h"

namespace keeprun {

class NoticeOutbox {
  public:
    static constexpr std::size_t kMaxMessages = 100;
    // Seconds after the first, second and third failure before the next try.
    static constexpr std::array<std::int64_t, 3> kRetryWaits = {30, 90, 180};

    // Gathers a notice with the others of its minute; the message goes out when
    // that minute is over (or a notice of a later one arrives).
    void add(const Notice& notice, std::int64_t now);
    // The message to send at `now`, if one is due; it stays first until sent().
    std::optional<std::vector<Notice>> due(std::int64_t now);
    // How the send of the message due() gave went ("" for success). Returns the
    // line to report when the message is dropped after its last try.
    std::optional<std::string> sent(const std::string& failure, std::int64_t now);
    // When something is due next; nothing while there is nothing to send.
    std::optional<std::int64_t> next_due() const;
    // Drops everything waiting (the address changed or was removed).
    void clear();

    std::size_t queued() const { return queue_.size(); }
    // Messages dropped because the queue was full.
    std::size_t overflowed() const { return overflowed_; }

  private:
    struct Message {
        std::vector<Notice> notices;
        std::size_t tries = 0;
        std::int64_t next_try = 0;
    };
    void close_gathering();
    void push(Message message);

    std::vector<Notice> gathering_;
    std::int64_t gathering_ends_ = 0;
    std::deque<Message> queue_;
    std::size_t overflowed_ = 0;
};

} // namespace keeprun
