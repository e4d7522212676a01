#include "ui/picture_box.h"

#include "ui/units.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace keeprun {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.setPointSizeF(9);
}

void PictureBox::set_scale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    width_ = right - left;
    height_ = bottom - top;
}

void PictureBox::reset_scale() {
    left_ = top_ = width_ = height_ = 0;
}

double PictureBox::unit_w() const {
    return width_ == 0 ? 1.0 : width() / width_;
}
double PictureBox::unit_h() const {
    return height_ == 0 ? 1.0 : height() / height_;
}

QPointF PictureBox::to_pixels(QPointF p) const {
    return QPointF((p.x() - left_) * unit_w(), (p.y() - top_) * unit_h());
}

void PictureBox::clear() {
    canvas_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas_.fill(win_color(back_));
    current_ = QPointF(left_, top_);
    update();
}

void PictureBox::set_back(std::int32_t colour) {
    back_ = colour;
    clear();
}

void PictureBox::set_font_size(double points) {
    font_.setPointSizeF(points);
}
void PictureBox::set_bold(bool bold) {
    font_.setBold(bold);
}

double PictureBox::text_width(const QString& text) const {
    return QFontMetricsF(font_, this).horizontalAdvance(text) / unit_w();
}

double PictureBox::text_height(const QString& text) const {
    return QFontMetricsF(font_, this).boundingRect(QRectF(), 0, text).height() / unit_h();
}

void PictureBox::print_at(double x, double y, const QString& text) {
    const QPointF at = to_pixels(QPointF(x, y));
    {
        QPainter p(&canvas_);
        p.setFont(font_);
        p.setPen(win_color(fore_));
        p.drawText(QPointF(at.x(), at.y() + QFontMetricsF(font_, this).ascent()), text);
    }
    current_ = QPointF(left_, y + text_height(text));
    update();
}

void PictureBox::draw_line(QPointF a, QPointF b, int width, std::int32_t colour) {
    QPainter p(&canvas_);
    p.setPen(QPen(win_color(colour), width));
    p.drawLine(to_pixels(a), to_pixels(b));
    update();
}

void PictureBox::draw_circle(QPointF centre, double radius, std::int32_t fill,
                             std::int32_t outline) {
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(win_color(outline));
    p.setBrush(win_color(fill));
    // The radius counts in units across, as the box's horizontal scale.
    const double r = radius * unit_w();
    p.drawEllipse(to_pixels(centre), r, r);
    update();
}

void PictureBox::draw_rect(QPointF a, QPointF b, std::int32_t colour, bool filled) {
    QPainter p(&canvas_);
    const QRectF r = QRectF(to_pixels(a), to_pixels(b)).normalized();
    if (filled) {
        p.fillRect(r, win_color(colour));
    } else {
        p.setPen(win_color(colour));
        p.drawRect(r);
    }
    update();
}

void PictureBox::set_picture(const QImage& image) {
    canvas_ = image.convertToFormat(QImage::Format_RGB32);
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), win_color(back_));
    p.drawImage(0, 0, canvas_);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    // Growing keeps what was drawn; the new area shows the back colour.
    if (canvas_.size() == size()) return;
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    grown.fill(win_color(back_));
    QPainter p(&grown);
    p.drawImage(0, 0, canvas_);
    p.end();
    canvas_ = grown;
}

} // namespace keeprun
