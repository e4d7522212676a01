#include "net/client_key.h"

#include <cstdio>
#include <ctime>

#include "net/http_request.h"
#include "net/mirror_fetcher.h"
#include "net/network_wait.h"
#include "system/local_time.h"
#include "system/text.h"
#include "system/utf.h"

namespace keeprun {
namespace {

constexpr std::size_t kMinKeyLength = 10;

std::string local_date_time() {
    const std::time_t now = std::time(nullptr);
    const std::tm tm = local_calendar(now);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace

std::string make_client_key(std::string_view date_time, std::string_view random_part) {
    std::string digits = keep_only_chars(date_time, "0123456789");
    if (digits.size() < 4) digits = "2001-01-01 00:00:00";
    return digits + "*" + std::string(random_part);
}

std::string get_client_key(SettingsStore& store) {
    std::string key = store.get(kKeyApp, kKeySection, kKeyName);
    if (utf16_length(key) < kMinKeyLength) {
        key = make_client_key(local_date_time(), random_digits(4));
        store.save(kKeyApp, kKeySection, kKeyName, key);
    }
    return key;
}

NetStartup report_client_address(SettingsStore& store, const MirrorFetchers& fetchers,
                                 const MirrorUrls& mirrors, ConfigTarget& target,
                                 const std::function<void()>& network_wait) {
    NetStartup r;
    r.client_key = get_client_key(store);
    r.config = network_wait ? load_server_config_waiting(fetchers, mirrors, target, network_wait)
                            : load_server_config(fetchers, mirrors, target);
    if (r.config.outcome == ConfigOutcome::accepted) {
        // On a worker, like the list fetches: a slow mirror never holds up the start.
        MirrorFetcher report([key = r.client_key](const std::string& url) {
            return http_request("POST", url, key, 5000);
        });
        report.start_fetch(r.config.server_base_url + "ip.asp");
    }
    return r;
}

NetStartup report_client_address(SettingsStore& store, ConfigTarget& target,
                                 const std::function<void()>& network_wait) {
    MirrorFetcher first, second, third;
    return report_client_address(store, {&first, &second, &third}, mirror_base_urls(), target,
                                 network_wait);
}

} // namespace keeprun
