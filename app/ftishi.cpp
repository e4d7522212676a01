#include "app/ftishi.h"

#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

Ftishi::Ftishi(QWidget* parent) : QDialog(parent), Timer1(this) {
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
    Timer1.setInterval(600);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        Timer1.stop();
        accept();
    });
    Timer1.start();
}

} // namespace keeprun
