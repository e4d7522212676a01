#pragma once
// Started at login, keeprun may come up before the network: it asks the mirrors
// again every 15 s, for up to 5 minutes, before it says that the network failed.
#include <cstdint>
#include <functional>
#include <optional>

#include "net/server_config.h"

namespace keeprun {

inline constexpr std::uint32_t kNetworkRetryMs = 15000;
inline constexpr std::uint32_t kNetworkWaitMs = 300000;

// The try that began at `last_try` got no answer by `now` (both in ms since the
// first try began): when the next try begins, or nothing when it is time to give
// up. A try that ran past its 15 s is followed at once.
std::optional<std::uint32_t> next_network_try(std::uint32_t last_try, std::uint32_t now);

// load_server_config, and again on next_network_try's schedule while no mirror
// answers; `waiting` runs once, before the first wait. The waits pump messages.
ServerConfig load_server_config_waiting(const MirrorFetchers& fetchers, const MirrorUrls& mirrors,
                                        ConfigTarget& target, const std::function<void()>& waiting);

} // namespace keeprun
