#include "app/fload.h"

#include "app/end_program.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

Fload::Fload(std::function<void()> startup) : Timer1(this), startup_(std::move(startup)) {
    setWindowTitle(QStringLiteral("程序正在初始化"));
    setFixedSize(tw(2850), tw(1665));
    set_back_color(this, 0xE0E0E0);
    auto* text = new QLabel(QStringLiteral("程序正在初始化，请稍候……"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    Timer1.setInterval(20);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        Timer1.stop();
        startup_();
    });
    Timer1.start();
}

void Fload::closeEvent(QCloseEvent*) {
    end_program();
}

} // namespace keeprun
