#include "system/local_time.h"

namespace keeprun {

std::tm local_calendar(std::time_t t) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

} // namespace keeprun
