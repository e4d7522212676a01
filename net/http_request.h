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

// Sends "id=" + url_encode(data) and returns the reply body decoded from
// code page 936 when the status is 200, otherwise "". Exactly "GET" sends a GET
// (the body goes along, with no content type); any other mode a form POST.
// A time-out below 1000 ms means 10000 ms; it bounds the connection, every
// stall in sending or receiving, and the whole request at four times its value.
// Blocks the calling thread; safe to call from several threads at once.
std::string http_request(std::string_view method, std::string_view url, std::string_view data,
                         std::int32_t timeout_ms);

} // namespace keeprun
