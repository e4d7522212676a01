#pragma once
// How the slots watch the programs they start, in one place.
#include <array>
#include <cstdint>

namespace keeprun {

// How a kept program is watched, in seconds.
inline constexpr std::int64_t kPingEverySeconds = 10;    // at most one ping per program
inline constexpr std::int64_t kHungAfterSeconds = 60;    // unanswered pings this long: hung
inline constexpr std::int64_t kCrashCheckSeconds = 4;    // looks for a crash dialog this often
inline constexpr std::int64_t kQuickExitSeconds = 10;    // gone sooner after its start: quick exit
inline constexpr std::int64_t kLastingStartSeconds = 60; // running this long: the count restarts
inline constexpr int kQuickExitsBeforeWaiting = 5;
// The waits before the next start from the fifth quick exit in a row on.
inline constexpr std::array<int, 4> kCrashLoopWaits{10, 20, 40, 60};

} // namespace keeprun
