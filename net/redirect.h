#pragma once
// How a request goes on after a redirect answer; both HTTP backends follow
// redirects themselves by these rules.
#include <optional>
#include <string_view>

namespace keeprun {

// Redirects followed at most, as the platform's request object did.
inline constexpr int kMaxRedirects = 10;

struct NextRequest {
    bool get = false;       // the next request is a GET
    bool keep_body = false; // it carries the body ("id=..." with the client key) again
};

// The request after answer `status` from `from` pointing to `to` (both absolute).
// 301, 302 and 303 go on as a GET without a body; 307 and 308 repeat the request,
// with its body only to the same host. Nothing when `to` is no web address or
// leaves https for http: the request then fails.
std::optional<NextRequest> follow_redirect(std::string_view from, std::string_view to, long status,
                                           bool get);

} // namespace keeprun
