#include "app/splash_window.h"

#include "app/end_program.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

SplashWindow::SplashWindow(std::function<void()> startup)
    : startup_timer(this), startup_(std::move(startup)) {
    setWindowTitle(QStringLiteral("程序正在初始化"));
    setFixedSize(tw(2850), tw(1665));
    set_back_color(this, kPanelGrey);
    auto* text = new QLabel(QStringLiteral("程序正在初始化，请稍候……"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    startup_timer.setInterval(20);
    connect(&startup_timer, &QTimer::timeout, this, [this] {
        startup_timer.stop();
        startup_();
    });
    startup_timer.start();
}

void SplashWindow::closeEvent(QCloseEvent*) {
    end_program();
}

} // namespace keeprun
