#include "app/splash_window.h"

#include "app/end_program.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QLabel>
#include <QVBoxLayout>

namespace keeprun {

SplashWindow::SplashWindow(std::function<void()> startup)
    : startup_timer(this), startup_(std::move(startup)), network_wait_(this) {
    setWindowTitle(QStringLiteral("程序正在初始化"));
    setFixedSize(tw(2850), tw(1665));
    set_back_color(this, kPanelGrey);
    auto* text = new QLabel(QStringLiteral("程序正在初始化，请稍候……"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    network_wait_.setGeometry(0, height() - tw(450), width(), tw(300));
    network_wait_.setAlignment(Qt::AlignCenter);
    startup_timer.setInterval(20);
    connect(&startup_timer, &QTimer::timeout, this, [this] {
        startup_timer.stop();
        startup_();
    });
    startup_timer.start();
}

void SplashWindow::show_network_wait() {
    network_wait_.setText(QStringLiteral("正在等待网络连接…"));
}

void SplashWindow::closeEvent(QCloseEvent*) {
    end_program();
}

} // namespace keeprun
