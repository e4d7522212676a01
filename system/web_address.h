#pragma once
// Web addresses that come from the network (links, the upgrade page, redirects):
// which may be opened or followed.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

struct WebAddress {
    bool secure = false; // https
    std::string host;    // lower case; an IPv6 address keeps its brackets
};

// The parts of an absolute http:// or https:// address with a host and no blank,
// control character or backslash; nothing for anything else.
std::optional<WebAddress> parse_web_address(std::string_view address);
// True when the host is this machine: localhost, 127.0.0.0/8 or [::1].
bool is_local_host(std::string_view host);

} // namespace keeprun
