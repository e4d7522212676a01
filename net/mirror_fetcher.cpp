#include "net/mirror_fetcher.h"

#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "net/http_request.h"

namespace keeprun {

std::string http_fetch(const std::string& url) {
    return http_request("GET", url, "", 10000);
}

MirrorFetcher::MirrorFetcher(Fetch fetch) : fetch_(std::move(fetch)) {}

void MirrorFetcher::start_fetch(std::string_view url) {
    std::promise<std::string> done;
    fetch_text_ = done.get_future().share();
    try {
        std::thread([fetch = fetch_, url = std::string(url), done = std::move(done)]() mutable {
            std::string text;
            try {
                text = fetch(url);
            } catch (...) {
                text.clear();
            }
            done.set_value(std::move(text));
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: this fetch stays without an answer.
        fetch_text_ = {};
    }
}

std::string MirrorFetcher::fetched_text() {
    if (!fetch_text_.valid() ||
        fetch_text_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return {};
    return fetch_text_.get();
}

} // namespace keeprun
