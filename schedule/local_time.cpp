#include "schedule/local_time.h"

#include <chrono>
#include <cstdio>

#include "system/text.h"

namespace keeprun {

std::int64_t serial_seconds(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)}};
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * 86400 + t.hour * 3600 +
           t.minute * 60 + t.second;
}

LocalTime local_time_from_serial(std::int64_t serial) {
    using namespace std::chrono;
    std::int64_t days_count = serial / 86400;
    std::int64_t rest = serial % 86400;
    if (rest < 0) rest += 86400, --days_count;
    const year_month_day ymd{sys_days{days{days_count}}};
    return LocalTime{static_cast<int>(ymd.year()),          static_cast<int>(unsigned(ymd.month())),
                     static_cast<int>(unsigned(ymd.day())), static_cast<int>(rest / 3600),
                     static_cast<int>(rest / 60 % 60),      static_cast<int>(rest % 60)};
}

std::string time_of_day_text(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

std::optional<int> parse_time_of_day(std::string_view text) {
    const std::string s = trim_spaces(text);
    auto digit = [&](std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
    auto two = [&](std::size_t i) { return (s[i] - '0') * 10 + (s[i + 1] - '0'); };
    std::size_t i = 0;
    int h = 0;
    if (!digit(0)) return std::nullopt;
    if (digit(1))
        h = two(0), i = 2;
    else
        h = s[0] - '0', i = 1;
    if (h > 23 || i >= s.size() || s[i] != ':' || !digit(i + 1) || !digit(i + 2))
        return std::nullopt;
    const int m = two(i + 1);
    i += 3;
    int sec = 0;
    if (i < s.size()) {
        if (s[i] != ':' || !digit(i + 1) || !digit(i + 2) || i + 3 != s.size()) return std::nullopt;
        sec = two(i + 1);
    }
    if (m > 59 || sec > 59) return std::nullopt;
    return h * 3600 + m * 60 + sec;
}

} // namespace keeprun
