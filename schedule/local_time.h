#pragma once
// A reading of the local wall clock, whole seconds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Seconds of the wall clock counted from 1970-01-01 00:00:00; the difference of
// two readings is the elapsed time in whole seconds.
std::int64_t serial_seconds(const LocalTime& t);
// The inverse of serial_seconds.
LocalTime local_time_from_serial(std::int64_t serial);
// "HH:mm:ss".
std::string time_of_day_text(const LocalTime& t);
// Seconds after midnight of a text "H:MM" or "H:MM:SS" (hours 0-23, minutes and
// seconds 0-59, blanks around it allowed); nothing for any other text.
std::optional<int> parse_time_of_day(std::string_view text);

} // namespace keeprun
