#include "net/redirect.h"

#include "system/web_address.h"

namespace keeprun {

std::optional<NextRequest> follow_redirect(std::string_view from, std::string_view to, long status,
                                           bool get) {
    const auto source = parse_web_address(from);
    const auto target = parse_web_address(to);
    if (!source || !target || (source->secure && !target->secure)) return std::nullopt;
    if (status != 307 && status != 308) return NextRequest{true, false};
    return NextRequest{get, target->host == source->host};
}

} // namespace keeprun
