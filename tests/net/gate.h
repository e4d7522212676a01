#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace keeprun::test {

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
