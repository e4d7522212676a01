#pragma once
// The page fetcher of the three mirrors: each fetch runs on its own thread, so
// the mirrors are asked at the same time while the caller's waits go on.
#include <functional>
#include <future>
#include <string>
#include <string_view>

#include "net/page_fetcher.h"

namespace keeprun {

// The fetch itself: a GET of `url` with the body "id=", 10000 ms time-outs.
std::string http_fetch(const std::string& url);

class MirrorFetcher : public PageFetcher {
  public:
    using Fetch = std::function<std::string(const std::string& url)>;

    // `fetch` runs on the worker thread; tests give their own.
    explicit MirrorFetcher(Fetch fetch = http_fetch);

    void start_fetch(std::string_view url) override;
    // Call start_fetch and fetched_text from one thread only.
    std::string fetched_text() override;

  private:
    Fetch fetch_;
    // The result of the latest start_fetch only: an earlier fetch that ends late
    // fills its own abandoned result. Threads are never joined, so a mirror
    // that hangs delays neither the caller nor the end of the program.
    std::shared_future<std::string> fetch_text_;
};

} // namespace keeprun
