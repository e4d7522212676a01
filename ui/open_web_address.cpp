#include "ui/open_web_address.h"

#include <QMessageBox>

#include "system/process.h"
#include "system/web_address.h"

namespace keeprun {
namespace {

bool web_address(const QString& url) {
    return parse_web_address(url.toStdString()).has_value();
}

} // namespace

bool open_web_address(const QString& url) {
    if (url.isEmpty()) return true;
    if (web_address(url) && open_web_page(url.toStdString())) return true;
    QMessageBox::information(nullptr, "提示", "出现错误，未能打开下载页面", QMessageBox::Ok);
    return false;
}

} // namespace keeprun
