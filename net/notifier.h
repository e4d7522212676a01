#pragma once
// Sends notices to a chat group on a thread of its own, so neither the window
// nor a slot's tick ever waits for the network.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "system/notice.h"

namespace keeprun {

// Sends one message; "" on success, else what went wrong.
using NoticeSend =
    std::function<std::string(const NotifySettings& settings, const std::vector<Notice>& notices)>;

class Notifier {
  public:
    // `send` runs on the notifier's thread; by default the real webhook.
    explicit Notifier(NoticeSend send = {});
    // Does not wait for a send under way: it finishes on its own and is forgotten.
    ~Notifier();
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // A new address drops what waits for the old one.
    void set_settings(const NotifySettings& settings);
    // Queues the notice when the settings want it; returns at once.
    void add(const Notice& notice);
    // The last message's fate, for the dialog ("" before the first).
    std::string last_status() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace keeprun
