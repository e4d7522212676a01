#include "ui/open_web_address.h"

#include <QMessageBox>

#include "system/process.h"

namespace keeprun {
namespace {

bool web_address(const QString& url) {
    return url.startsWith("http://", Qt::CaseInsensitive) ||
           url.startsWith("https://", Qt::CaseInsensitive);
}

} // namespace

bool open_web_address(const QString& url) {
    if (url.isEmpty()) return true;
    if (web_address(url) && open_web_page(url.toStdString())) return true;
    QMessageBox::information(nullptr, "提示", "出现错误，未能打开下载页面", QMessageBox::Ok);
    return false;
}

} // namespace keeprun
