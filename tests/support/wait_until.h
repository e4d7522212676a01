#pragma once
// How every test waits for something that happens on its own time.
#include <algorithm>
#include <chrono>
#include <thread>
#ifdef QT_CORE_LIB
#include <QCoreApplication>
#endif

namespace keeprun::testing {

// Polls `done` until it holds (true) or `limit` has passed (false). The pause
// between polls grows to 50 ms, so that costly checks (a walk of every process,
// a look at the screen) do not run back to back. In a Qt test, Qt's events run
// between polls: what is waited for often needs them.
template <class Done>
bool wait_until(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    using std::chrono::milliseconds;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (milliseconds pause(1); !done(); pause = std::min(pause * 2, milliseconds(50))) {
        if (std::chrono::steady_clock::now() >= end) return false;
#ifdef QT_CORE_LIB
        QCoreApplication::processEvents();
#endif
        std::this_thread::sleep_for(pause);
    }
    return true;
}

} // namespace keeprun::testing
