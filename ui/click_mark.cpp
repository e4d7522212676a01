#include "ui/click_mark.h"

#include "system/delay.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

namespace keeprun {
namespace {

constexpr int kOuter = ClickMark::kRadius + ClickMark::kPenWidth / 2;
constexpr int kInner = ClickMark::kRadius - ClickMark::kPenWidth / 2;
constexpr int kSide = 2 * kOuter + 1;

} // namespace

ClickMark::ClickMark()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(kSide, kSide);
    const QRegion outer(0, 0, kSide, kSide, QRegion::Ellipse);
    const QRegion inner(kOuter - kInner, kOuter - kInner, 2 * kInner + 1, 2 * kInner + 1,
                        QRegion::Ellipse);
    setMask(outer.subtracted(inner));
}

void ClickMark::place(QPoint centre, const QColor& colour) {
    colour_ = colour;
    move(centre.x() - kOuter, centre.y() - kOuter);
    update();
}

void ClickMark::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), colour_);
}

void show_click_mark(const QColor& colour, int device_x, int device_y) {
    static ClickMark* mark = new ClickMark;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    mark->place(QPoint(qRound(device_x / ratio), qRound(device_y / ratio)), colour);
    mark->show();
    mark->raise();
    wait_pumping_events(ClickMark::kSeconds);
    mark->hide();
    pump_messages();
}

} // namespace keeprun
