#pragma once
// Which of the slots' events people are told of, and in what words: a kept
// program started again, ended because it hung or crashed, in a crash loop, and
// a timed slot's close or restart.
#include <array>
#include <optional>
#include <string>

#include "schedule/local_time.h"
#include "schedule/ports.h"
#include "system/notice.h"

namespace keeprun {

class NoticeMaker {
  public:
    explicit NoticeMaker(std::string machine) : machine_(std::move(machine)) {}

    // The notice for `event` at local time `now` (`utc_offset` seconds ahead of
    // UTC), or nothing when the event is none people hear of. The start that
    // follows a hang, a crash or a crash loop's wait is told with that event.
    std::optional<Notice> make(const SlotEvent& event, const LocalTime& now, int utc_offset);

  private:
    std::string machine_;
    // Slot n's last notice already said its program is started again.
    std::array<bool, 9> start_told_{};
};

// The message "发送测试" sends.
Notice test_notice(const std::string& machine, const LocalTime& now, int utc_offset);

// The file name of a slot's path, on either system's separators.
std::string program_file_name(const std::string& path);

} // namespace keeprun
