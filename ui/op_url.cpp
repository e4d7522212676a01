#include "ui/op_url.h"

#include <QMessageBox>
#include <QProcess>

namespace keeprun {
namespace {

bool web_address(const QString& url) {
    return url.startsWith("http://", Qt::CaseInsensitive) ||
           url.startsWith("https://", Qt::CaseInsensitive);
}

bool start_browser(const QString& url) {
    QProcess p;
    p.setProgram("xdg-open");
    p.setArguments({url});
    p.setStandardInputFile(QProcess::nullDevice());
    return p.startDetached();
}

} // namespace

bool op_url(const QString& url) {
    if (url.isEmpty()) return true;
    if (web_address(url) && start_browser(url)) return true;
    QMessageBox::information(nullptr, "提示", "出现错误，未能打开下载页面", QMessageBox::Ok);
    return false;
}

} // namespace keeprun
