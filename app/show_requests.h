#pragma once
// A second start asks the running keeprun to show its window, through a local
// socket beside the single-instance lock.
#include <QLocalServer>
#include <functional>

namespace keeprun {

class ShowRequests {
  public:
    // Listens for requests, each of which runs `show`. Only the holder of the
    // single-instance lock calls this, so a socket left by a crash can go.
    void listen(std::function<void()> show);

  private:
    QLocalServer server_;
    std::function<void()> show_;
};

// Asks the running keeprun to show its window; waits at most a second for it.
void ask_running_instance_to_show();

} // namespace keeprun
