#pragma once
// A page fetcher as the configuration load sees it: given an address, it fetches
// in the background and hands out the text once it has all of it.
#include <string>
#include <string_view>

namespace keeprun {

class PageFetcher {
  public:
    virtual ~PageFetcher() = default;
    // Starts fetching `vurl` and returns at once; the text is empty until it arrives.
    virtual void a_ping(std::string_view vurl) = 0;
    // "" or the complete decoded text of the latest a_ping, never a part of it.
    virtual std::string a_get_txt() = 0;
};

} // namespace keeprun
