#include "net/http_request.h"

#include <curl/curl.h>

#include <chrono>
#include <exception>
#include <memory>
#include <mutex>

#include "net/url_encode.h"
#include "system/codepage.h"

namespace keeprun {
namespace {

void init_curl_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Collects the body; stops the transfer as soon as it grows past the limit.
std::size_t collect(char* data, std::size_t, std::size_t n, void* user) {
    auto* body = static_cast<std::string*>(user);
    if (body->size() + n > kMaxReplyBytes) return 0;
    body->append(data, n);
    return n;
}

// Ends a transfer in which no byte has moved either way for the time-out,
// counted from the moment the connection stands (the connect has its own bound).
struct StallWatch {
    CURL* curl;
    std::chrono::milliseconds limit;
    std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
    bool connected = false;
    curl_off_t moved = 0;
};

int watch_stall(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* w = static_cast<StallWatch*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (!w->connected) {
        curl_off_t connect_us = 0;
        curl_easy_getinfo(w->curl, CURLINFO_CONNECT_TIME_T, &connect_us);
        if (connect_us == 0 && dlnow + ulnow == 0) return 0;
        w->connected = true;
        w->since = now;
    }
    if (dlnow + ulnow != w->moved) {
        w->moved = dlnow + ulnow;
        w->since = now;
    }
    return now - w->since > w->limit ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Adds a header line; false when out of memory.
bool add_header(std::unique_ptr<curl_slist, ListDeleter>& list, const char* line) {
    curl_slist* grown = curl_slist_append(list.get(), line);
    if (!grown) return false;
    list.release();
    list.reset(grown);
    return true;
}

std::string request(std::string_view method, std::string_view url, std::string_view data,
                    std::int32_t timeout_ms) {
    const long bounded_ms = timeout_ms < 1000 ? 10000 : timeout_ms;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return {};
    CURL* c = curl.get();

    const bool get = method == "GET";
    std::unique_ptr<curl_slist, ListDeleter> headers;
    // "Expect:" keeps large bodies from waiting for a 100-continue answer.
    if (!add_header(headers, "If-Modified-Since: Sat, 01 Jan 2000 00:00:00 GMT") ||
        !add_header(headers, "Expect:") ||
        !add_header(headers,
                    get ? "Content-Type:" : "Content-Type: application/x-www-form-urlencoded"))
        return {};

    const std::string address(url);
    const std::string body = "id=" + url_encode(data);
    std::string reply;
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    // A GET that carries a body, as the server's fetchers have always sent it.
    if (get) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "GET");
    // Redirects as the platform's request object follows them: up to ten, a POST
    // turning into a GET on 301, 302 and 303.
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    // Each phase is bounded: name lookup and connect, then every stall in sending
    // or receiving (checked about once a second), then the whole exchange.
    StallWatch stall{c, std::chrono::milliseconds(bounded_ms)};
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, bounded_ms);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, watch_stall);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &stall);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, 4 * bounded_ms);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply);

    if (curl_easy_perform(c) != CURLE_OK) return {};
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) return {};
    return cp936_decode(reply);
}

} // namespace

std::string http_request(std::string_view method, std::string_view url, std::string_view data,
                         std::int32_t timeout_ms) {
    init_curl_once();
    try {
        return request(method, url, data, timeout_ms);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace keeprun
