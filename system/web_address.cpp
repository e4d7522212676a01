#include "system/web_address.h"

#include <algorithm>

namespace keeprun {
namespace {

std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

std::optional<WebAddress> parse_web_address(std::string_view address) {
    const bool unsafe = std::ranges::any_of(address, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7f || c == '\\';
    });
    if (unsafe) return std::nullopt;
    WebAddress parts;
    const std::string lower = ascii_lower(address);
    std::string_view rest = lower;
    if (rest.starts_with("https://"))
        parts.secure = true;
    else if (!rest.starts_with("http://"))
        return std::nullopt;
    rest.remove_prefix(rest.find("//") + 2);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest.remove_prefix(at + 1);
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        rest = rest.substr(0, close + 1);
    } else {
        rest = rest.substr(0, rest.find(':'));
    }
    if (rest.empty() || rest == "[]") return std::nullopt;
    parts.host = rest;
    return parts;
}

bool is_local_host(std::string_view host) {
    return host == "localhost" || host == "[::1]" ||
           (host.starts_with("127.") &&
            host.find_first_not_of("0123456789.") == std::string_view::npos);
}

} // namespace keeprun
