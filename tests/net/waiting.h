#pragma once
// Waiting in tests: for a condition with a deadline, or for a gate the test opens.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace keeprun::test {

// True as soon as `done` holds; false when the deadline passes first.
inline bool eventually(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Holds server handlers back until the test opens it, or the cap runs out.
class Gate {
  public:
    void open() {
        std::lock_guard lock(m_);
        open_ = true;
        cv_.notify_all();
    }
    void wait(std::chrono::milliseconds cap = std::chrono::seconds(30)) {
        std::unique_lock lock(m_);
        cv_.wait_for(lock, cap, [&] { return open_; });
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

} // namespace keeprun::test
