#include "app/fpic.h"

#include "ui/load_png.h"

namespace keeprun {

Fpic::Fpic(QWidget* main_window, QString tag)
    : QWidget(nullptr, Qt::Window), Tag(std::move(tag)), Timer1(this), main_window_(main_window) {
    setWindowTitle(QStringLiteral("说明"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer1.setInterval(20);
    connect(&Timer1, &QTimer::timeout, this, &Fpic::first_tick);
    Timer1.start();
}

void Fpic::first_tick() {
    Timer1.stop();
    move(main_window_->pos());
    LoadPNG png;
    png.PicBox(this);
    png.OpenPNGfromRes(Tag == QStringLiteral("1") ? QStringLiteral("SM1") : QStringLiteral("SM2"),
                       QStringLiteral("CUSTOM"));
    setFixedSize(size());
    show();
}

} // namespace keeprun
