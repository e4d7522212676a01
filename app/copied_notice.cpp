#include "app/copied_notice.h"

#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

CopiedNotice::CopiedNotice(QWidget* parent) : QDialog(parent), close_timer(this) {
    setWindowTitle(QStringLiteral("信息提示窗口"));
    setFixedSize(tw(3000), tw(1200));
    set_back_color(this, 0x00FF00);
    auto* text = new QLabel(QStringLiteral("复制成功！"), this);
    text->setAlignment(Qt::AlignCenter);
    QFont font = text->font();
    font.setPointSize(14);
    font.setBold(true);
    text->setFont(font);
    (new QVBoxLayout(this))->addWidget(text);
    close_timer.setInterval(600);
    connect(&close_timer, &QTimer::timeout, this, [this] {
        close_timer.stop();
        accept();
    });
    close_timer.start();
}

} // namespace keeprun
