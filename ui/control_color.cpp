#include "ui/control_color.h"

#include "ui/units.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPalette>

namespace keeprun {
namespace {

const char* const kBack = "keeprun_back";
const char* const kFore = "keeprun_fore";

// Buttons paint from the Button role, edit fields from Base, the rest from Window.
QPalette::ColorRole back_role(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w)) return QPalette::Button;
    if (qobject_cast<const QLineEdit*>(w)) return QPalette::Base;
    return QPalette::Window;
}

QPalette::ColorRole fore_role(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w)) return QPalette::ButtonText;
    if (qobject_cast<const QLineEdit*>(w)) return QPalette::Text;
    return QPalette::WindowText;
}

} // namespace

void set_back_color(QWidget* w, std::int32_t colour) {
    QPalette p = w->palette();
    p.setColor(back_role(w), win_color(colour));
    p.setColor(QPalette::Window, win_color(colour));
    w->setPalette(p);
    w->setAutoFillBackground(true);
    w->setProperty(kBack, colour);
}

std::int32_t back_color(const QWidget* w) {
    const QVariant v = w->property(kBack);
    return v.isValid() ? v.toInt() : win_value(w->palette().color(back_role(w)));
}

void set_fore_color(QWidget* w, std::int32_t colour) {
    QPalette p = w->palette();
    p.setColor(fore_role(w), win_color(colour));
    w->setPalette(p);
    w->setProperty(kFore, colour);
}

std::int32_t fore_color(const QWidget* w) {
    const QVariant v = w->property(kFore);
    return v.isValid() ? v.toInt() : win_value(w->palette().color(fore_role(w)));
}

} // namespace keeprun
