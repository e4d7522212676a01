#include "net/server_config.h"

#include "system/delay.h"
#include "system/utf.h"

namespace keeprun {
namespace {

constexpr int kPolls = 60;
constexpr std::size_t kMinTextLength = 11;

// The polls in which each mirror's text may be taken.
struct PollWindow {
    int first;
    int last;
};
constexpr std::array<PollWindow, 3> kWindows{{{1, 19}, {20, 39}, {40, 59}}};

} // namespace

ServerConfig load_server_config(const MirrorFetchers& MirrorFetcher, const MirrorUrls& mirrors,
                                ConfigTarget& target) {
    for (std::size_t k = 0; k < MirrorFetcher.size(); ++k)
        MirrorFetcher[k]->start_fetch(mirrors[k] + "list.txt");

    ServerConfig config;
    for (int i = 1; i <= kPolls; ++i) {
        std::array<std::string, 3> texts;
        for (std::size_t k = 0; k < texts.size(); ++k)
            texts[k] = MirrorFetcher[k]->fetched_text();
        for (std::size_t k = 0; k < texts.size(); ++k) {
            // A page without the title section (a captive portal, a proxy's notice)
            // is no configuration: that mirror failed, the next one may still answer.
            if (i < kWindows[k].first || i > kWindows[k].last ||
                utf16_length(texts[k]) < kMinTextLength ||
                !section_value(texts[k], "[biaoti]").has_value())
                continue;
            config.poll = i;
            config.server_base_url = mirrors[k];
            config.server_text = std::move(texts[k]);
            AppliedText applied = apply_server_text(config.server_text, target);
            config.outcome = applied.outcome;
            config.fault = std::move(applied.fault);
            config.exe_alias_table = std::move(applied.exe_alias_table);
            config.upgrade_url = std::move(applied.upgrade_url);
            config.news = section_value(config.server_text, "[news]").value_or("");
            return config;
        }
        wait_pumping_events(0.1);
    }
    config.outcome = ConfigOutcome::network_failure;
    return config;
}

} // namespace keeprun
