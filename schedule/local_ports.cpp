#include "schedule/local_ports.h"

#include <ctime>

#include "system/desktop_entry.h"

namespace keeprun {
namespace {

class LocalClock final : public Clock {
  public:
    LocalTime now() const override {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                         tm.tm_hour,        tm.tm_min,     tm.tm_sec > 59 ? 59 : tm.tm_sec};
    }
};

class DesktopShortcutReader final : public ShortcutReader {
  public:
    std::optional<std::string> target(std::string_view shortcut_path) const override {
        return desktop_entry_program(shortcut_path, local_file_status());
    }
};

} // namespace

const Clock& local_clock() {
    static const LocalClock clock;
    return clock;
}

const ShortcutReader& desktop_shortcut_reader() {
    static const DesktopShortcutReader reader;
    return reader;
}

} // namespace keeprun
