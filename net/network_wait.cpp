#include "net/network_wait.h"

#include <algorithm>

#include "system/delay.h"

namespace keeprun {

std::optional<std::uint32_t> next_network_try(std::uint32_t last_try, std::uint32_t now) {
    const std::uint32_t next = std::max(last_try + kNetworkRetryMs, now);
    if (next > kNetworkWaitMs) return std::nullopt;
    return next;
}

ServerConfig load_server_config_waiting(const MirrorFetchers& fetchers, const MirrorUrls& mirrors,
                                        ConfigTarget& target,
                                        const std::function<void()>& waiting) {
    const std::uint32_t first = tick_count();
    std::uint32_t last_try = 0;
    for (bool told = false;; told = true) {
        ServerConfig config = load_server_config(fetchers, mirrors, target);
        if (config.outcome != ConfigOutcome::network_failure) return config;
        // Unsigned differences: right across a wrap of the tick counter.
        const auto next = next_network_try(last_try, tick_count() - first);
        if (!next) return config;
        if (!told && waiting) waiting();
        const std::uint32_t now = tick_count() - first;
        if (*next > now) wait_pumping_events((*next - now) / 1000.0);
        last_try = *next;
    }
}

} // namespace keeprun
