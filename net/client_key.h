#pragma once
// The client key of this installation and the report of it to the mirror that
// answered at start.
#include <functional>
#include <string>
#include <string_view>

#include "net/server_config.h"
#include "system/settings_store.h"

namespace keeprun {

// Where the key is kept in the per-user settings store.
inline constexpr std::string_view kKeyApp = "4061739285_zx20220110";
inline constexpr std::string_view kKeySection = "Startup";
inline constexpr std::string_view kKeyName = "key";

// A new key: the digits of `date_time` (or, with fewer than 4 of them, the text
// "2001-01-01 00:00:00"), "*", then `random_part`.
std::string make_client_key(std::string_view date_time, std::string_view random_part);

// The stored key when it has 10 characters or more; otherwise a new one from the
// local date and time ("yyyy/M/d H:mm:ss") and random_digits(4), stored. A failing
// store is ignored.
std::string get_client_key(SettingsStore& store);

// What start-up keeps from the network step.
struct NetStartup {
    std::string client_key;
    ServerConfig config;
};

// get_client_key, then load_server_config (a start at login gives `network_wait`:
// load_server_config_waiting with it), then, when a text was accepted, a POST
// of the key to the accepted mirror's "ip.asp" on a thread of its own (time-out
// 5000 ms, answer ignored), which the caller does not wait for.
NetStartup report_client_address(SettingsStore& store, const MirrorFetchers& fetchers,
                                 const MirrorUrls& mirrors, ConfigTarget& target,
                                 const std::function<void()>& network_wait = {});

// The program's form: three MirrorFetcher fetchers and the compiled-in mirrors.
NetStartup report_client_address(SettingsStore& store, ConfigTarget& target,
                                 const std::function<void()>& network_wait);

} // namespace keeprun
