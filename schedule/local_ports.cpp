#include "schedule/local_ports.h"

#include <chrono>
#include <ctime>

#include "system/local_time.h"
#include "system/shortcut.h"

namespace keeprun {
namespace {

LocalTime local_time_at(std::time_t t) {
    const std::tm tm = local_calendar(t);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec > 59 ? 59 : tm.tm_sec};
}

class LocalClock final : public Clock {
  public:
    LocalTime now() const override { return local_time_at(std::time(nullptr)); }
    std::int64_t steady_seconds() const override {
        using namespace std::chrono;
        return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
    }
};

class DesktopShortcutReader final : public ShortcutReader {
  public:
    std::optional<Shortcut> read(std::string_view shortcut_path) const override {
        return read_shortcut(shortcut_path);
    }
};

} // namespace

const Clock& local_clock() {
    static const LocalClock clock;
    return clock;
}

int local_utc_offset_seconds() {
    const std::time_t t = std::time(nullptr);
    return static_cast<int>(serial_seconds(local_time_at(t)) - static_cast<std::int64_t>(t));
}

const ShortcutReader& desktop_shortcut_reader() {
    static const DesktopShortcutReader reader;
    return reader;
}

} // namespace keeprun
