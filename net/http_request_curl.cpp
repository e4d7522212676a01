#include "net/http_request.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>

#include "net/redirect.h"
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

struct Reply {
    long status = 0;
    std::string location; // absolute, for a redirect
    std::string body;
};

// One exchange, a redirect answered but not followed; nothing when it failed,
// with why in `error`. `content_type` is a whole header line.
std::optional<Reply> exchange(const std::string& address, bool get, const std::string& content_type,
                              const std::string& body, long stall_ms, long total_ms,
                              std::string& error) {
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    error = "out of memory";
    if (!curl) return std::nullopt;
    CURL* c = curl.get();

    std::unique_ptr<curl_slist, ListDeleter> headers;
    // "Expect:" keeps large bodies from waiting for a 100-continue answer.
    if (!add_header(headers, "If-Modified-Since: Sat, 01 Jan 2000 00:00:00 GMT") ||
        !add_header(headers, "Expect:") || !add_header(headers, content_type.c_str()))
        return std::nullopt;

    Reply reply;
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    if (!get || !body.empty()) {
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        // A GET that carries a body, as the server's fetchers have always sent it.
        if (get) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "GET");
    }
    // Each phase is bounded: name lookup and connect, then every stall in sending
    // or receiving (checked about once a second), then the whole exchange.
    StallWatch stall{c, std::chrono::milliseconds(stall_ms)};
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, std::min(stall_ms, total_ms));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, watch_stall);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &stall);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, total_ms);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply.body);

    char detail[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, detail);
    if (const CURLcode code = curl_easy_perform(c); code != CURLE_OK) {
        error = detail[0] ? detail : curl_easy_strerror(code);
        return std::nullopt;
    }
    error.clear();
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    const char* location = nullptr;
    curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location);
    if (location) reply.location = location;
    return reply;
}

std::string request(std::string_view method, std::string_view url, std::string_view data,
                    std::int32_t timeout_ms) {
    using Clock = std::chrono::steady_clock;
    const long bounded_ms = stall_limit_ms(timeout_ms);
    const auto deadline = Clock::now() + std::chrono::milliseconds(4 * bounded_ms);
    bool get = method == "GET";
    std::string body = "id=" + url_encode(data);
    std::string address(url);
    std::string error;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return {};
        const auto reply = exchange(
            address, get, get ? "Content-Type:" : "Content-Type: application/x-www-form-urlencoded",
            body, bounded_ms, left, error);
        if (!reply) return {};
        if (reply->status / 100 != 3 || reply->location.empty())
            return reply->status == 200 ? cp936_decode(reply->body) : std::string();
        const auto next = follow_redirect(address, reply->location, reply->status, get);
        if (!next) return {};
        get = next->get;
        if (!next->keep_body) body.clear();
        address = reply->location;
    }
    return {};
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

HttpAnswer http_post(std::string_view url, std::string_view content_type, std::string_view body,
                     std::int32_t timeout_ms) {
    init_curl_once();
    HttpAnswer answer;
    try {
        const long bounded_ms = stall_limit_ms(timeout_ms);
        const auto reply =
            exchange(std::string(url), false, "Content-Type: " + std::string(content_type),
                     std::string(body), bounded_ms, 4 * bounded_ms, answer.error);
        if (reply) {
            answer.status = reply->status;
            answer.body = reply->body;
        }
    } catch (const std::exception& e) {
        answer.error = e.what();
    }
    return answer;
}

} // namespace keeprun
