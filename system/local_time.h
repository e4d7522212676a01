#pragma once
// The local time zone's calendar fields of a moment, on every platform.
#include <ctime>

namespace keeprun {

std::tm local_calendar(std::time_t t);

} // namespace keeprun
