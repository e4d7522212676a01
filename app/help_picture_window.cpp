#include "app/help_picture_window.h"

#include "ui/png_loader.h"

#include <QKeyEvent>

namespace keeprun {

HelpPictureWindow::HelpPictureWindow(QWidget* main_window, QString picture)
    : QWidget(nullptr, Qt::Window), picture(std::move(picture)), show_timer(this),
      main_window_(main_window) {
    setWindowTitle(QStringLiteral("说明"));
    setAttribute(Qt::WA_DeleteOnClose);
    show_timer.setInterval(20);
    connect(&show_timer, &QTimer::timeout, this, &HelpPictureWindow::first_tick);
    show_timer.start();
}

void HelpPictureWindow::first_tick() {
    show_timer.stop();
    move(main_window_->pos());
    PngLoader png;
    png.set_target(this);
    png.open_resource(picture == QStringLiteral("1") ? QStringLiteral("SM1")
                                                     : QStringLiteral("SM2"),
                      QStringLiteral("CUSTOM"));
    setFixedSize(size());
    show();
}

void HelpPictureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace keeprun
