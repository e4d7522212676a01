#include "app/upgrade_dialog.h"

#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

UpgradeDialog::UpgradeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("升级提示"));
    set_back_color(this, kPanelGrey);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(tw(450), tw(300), tw(450), tw(300));
    layout->setSpacing(tw(150));
    auto* first = new QLabel(QStringLiteral("软件已升级，请下载最新版再使用"), this);
    QFont big = first->font();
    big.setPointSize(14);
    big.setBold(true);
    first->setFont(big);
    set_fore_color(first, 255);
    layout->addWidget(first);
    layout->addWidget(new QLabel(QStringLiteral("如您已设置过开机自启，"), this));
    layout->addWidget(
        new QLabel(QStringLiteral("请删除旧版，否则开机时打开的还是旧版，还会提示升级。"), this));
    download_button = new QPushButton(QStringLiteral("马上下载"), this);
    download_button->setDefault(true);
    download_button->setAutoDefault(true);
    download_button->setMinimumHeight(tw(600));
    layout->addWidget(download_button);
    // The button unloads the form; the close box does the same, and the caller
    // takes one path after either.
    connect(download_button, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace keeprun
