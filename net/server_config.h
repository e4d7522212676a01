#pragma once
// The configuration load at start: the three mirrors are asked at once and a
// fixed schedule of polls decides whose text is taken, then its sections are
// applied. The caller owns the windows and acts on the outcome.
#include <array>
#include <string>

#include "net/config_sections.h"
#include "net/config_target.h"
#include "net/mirrors.h"
#include "net/page_fetcher.h"
#include "system/exe_alias.h"

namespace keeprun {

// What the caller shows when no mirror answered (as a standard message box with
// an OK button), before it ends the program.
inline constexpr const char* kNetworkFailureTitle = "温馨提示";
inline constexpr const char* kNetworkFailureText = "联网失败，请按以下步骤操作：\r\n\r\n"
                                                   "退出屏幕右下角的全部杀毒与安全卫士，\r\n\r\n"
                                                   "然后把【光猫】电源拔掉一分钟后重插，\r\n\r\n"
                                                   "重新联网后再打开本软件就可以用了\r\n";

struct ServerConfig {
    // accepted: the sections are applied, start-up goes on.
    // network_failure: show the message above, then end.
    // forced_upgrade: show UpgradeDialog, open `upgrade_url`, then end.
    // malformed: end without a message in a window, `fault` on standard error.
    ConfigOutcome outcome = ConfigOutcome::network_failure;
    std::string fault;
    // The poll (1..60) in which a text was taken; 0 when none was.
    int poll = 0;
    // Set whenever a text was taken, whatever came of applying it.
    std::string server_text;
    std::string server_base_url;
    ExeAliasTable exe_alias_table;
    std::string upgrade_url;
    // "[news]": the announcement shown after start; "" without the marker.
    std::string news;
};

using MirrorFetchers = std::array<PageFetcher*, 3>;

// Pings mirror k's "list.txt" with fetcher k, then polls 60 times 0.1 s apart
// through wait_pumping_events (messages keep running): the first mirror counts only in
// polls 1-19, the second in 20-39, the third in 40-59, each with a text of at
// least 11 characters that holds the "[biaoti]" section. A taken text is applied to `target`.
ServerConfig load_server_config(const MirrorFetchers& MirrorFetcher, const MirrorUrls& mirrors,
                                ConfigTarget& target);

} // namespace keeprun
