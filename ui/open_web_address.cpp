#include "ui/open_web_address.h"

#include <QMessageBox>

#include "system/desktop_entry.h"
#include "system/process.h"
#include "system/web_address.h"

namespace keeprun {
namespace {

bool web_address(const QString& url) {
    return parse_web_address(url.toStdString()).has_value();
}

// The address goes to xdg-open as one argument; no shell ever sees it.
bool start_browser(const QString& url) {
    const auto opener = find_program("xdg-open", local_file_status());
    return opener && start_detached({*opener, url.toStdString()});
}

} // namespace

bool open_web_address(const QString& url) {
    if (url.isEmpty()) return true;
    if (web_address(url) && start_browser(url)) return true;
    QMessageBox::information(nullptr, "提示", "出现错误，未能打开下载页面", QMessageBox::Ok);
    return false;
}

} // namespace keeprun
