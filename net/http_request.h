#pragma once
// Plain HTTP requests to the vendor's server. Nothing here raises an error or
// shows a message: every failure gives the empty text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace keeprun {

// A reply body larger than this counts as a failed request.
inline constexpr std::size_t kMaxReplyBytes = 1024 * 1024;

// The limit of a connection and of every stall a caller's time-out gives: below
// 1000 ms it means 10000 ms. The whole request is bounded at four times it.
inline int stall_limit_ms(std::int32_t timeout_ms) {
    return timeout_ms < 1000 ? 10000 : timeout_ms;
}

// Sends "id=" + url_encode(data) and returns the reply body decoded from
// code page 936 when the status is 200, otherwise "". Exactly "GET" sends a GET
// (the body goes along, with no content type); any other mode a form POST.
// `timeout_ms` bounds it as stall_limit_ms says.
// Blocks the calling thread; safe to call from several threads at once.
std::string http_request(std::string_view method, std::string_view url, std::string_view data,
                         std::int32_t timeout_ms);

// What a server answered, or why nothing came.
struct HttpAnswer {
    std::string error; // the network's failure; "" when an answer came
    long status = 0;
    std::string body; // as sent, at most kMaxReplyBytes
};

// Posts `body` as `content_type` to an http or https address, with the time
// limits of http_request. A redirect is not followed: it is the answer.
HttpAnswer http_post(std::string_view url, std::string_view content_type, std::string_view body,
                     std::int32_t timeout_ms);

} // namespace keeprun
