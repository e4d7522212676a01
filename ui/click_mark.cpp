#include "ui/click_mark.h"

#include "system/delay.h"

#include <algorithm>

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

QPoint logical_point(const std::vector<ScreenScale>& screens, QPoint device) {
    if (screens.empty()) return device;
    const auto on = [&](const ScreenScale& s) {
        const QPoint origin = s.area.topLeft();
        return QRect(origin, s.area.size() * s.ratio).contains(device);
    };
    const auto it = std::find_if(screens.begin(), screens.end(), on);
    const ScreenScale& s = it == screens.end() ? screens.front() : *it;
    const QPoint origin = s.area.topLeft();
    return origin + (QPointF(device - origin) / s.ratio).toPoint();
}

void show_click_mark(const QColor& colour, int device_x, int device_y) {
    static ClickMark* mark = new ClickMark;
    // The primary screen first: a point on no screen is shown there.
    std::vector<ScreenScale> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screens.push_back({primary->geometry(), primary->devicePixelRatio()});
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({screen->geometry(), screen->devicePixelRatio()});
    mark->place(logical_point(screens, QPoint(device_x, device_y)), colour);
    mark->show();
    mark->raise();
    wait_pumping_events(ClickMark::kSeconds);
    mark->hide();
    pump_messages();
}

} // namespace keeprun
