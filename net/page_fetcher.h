#pragma once
// A page fetcher as the configuration load sees it: given an address, it fetches
// in the background and hands out the text once it has all of it.
#include <string>
#include <string_view>

namespace keeprun {

class PageFetcher {
  public:
    virtual ~PageFetcher() = default;
    // Starts fetching `url` and returns at once; the text is empty until it arrives.
    virtual void start_fetch(std::string_view url) = 0;
    // "" or the complete decoded text of the latest start_fetch, never a part of it.
    virtual std::string fetched_text() = 0;
};

} // namespace keeprun
