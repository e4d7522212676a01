#include "draw.h"

#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace helppics {
namespace {

int px(int twips) {
    return (twips * 2 + 15) / 30;
}
constexpr int kRow = 285;

} // namespace

QFont font(double px, bool bold) {
    QFont f("WenQuanYi Micro Hei");
    f.setPixelSize(static_cast<int>(px));
    f.setBold(bold);
    return f;
}

QImage canvas(int width, int height, const QString& title) {
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(QColor(250, 250, 247));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, width, 54, kAccent);
    p.setPen(Qt::white);
    p.setFont(font(24, true));
    p.drawText(QRect(24, 0, width - 48, 54), Qt::AlignVCenter | Qt::AlignLeft, title);
    return img;
}

int text(QPainter& p, const QRect& r, const QString& s, double size, const QColor& c, bool bold) {
    p.setFont(font(size, bold));
    p.setPen(c);
    const QRect used = p.boundingRect(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, s);
    p.drawText(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, s);
    return used.height();
}

void badge(QPainter& p, QPoint centre, int n) {
    p.setPen(Qt::NoPen);
    p.setBrush(kMark);
    p.drawEllipse(centre, 12, 12);
    p.setPen(Qt::white);
    p.setFont(font(16, true));
    p.drawText(QRect(centre.x() - 12, centre.y() - 12, 24, 24), Qt::AlignCenter,
               QString::number(n));
}

int step(QPainter& p, const QRect& r, int n, const QString& heading, const QString& body) {
    // Only the width is given; the box grows with its text.
    const QRect inner(r.x() + 44, r.y() + 8, r.width() - 54, 2000);
    p.setFont(font(17, true));
    const int head = p.boundingRect(inner, Qt::TextWordWrap, heading).height();
    p.setFont(font(15));
    const int text_h = p.boundingRect(inner, Qt::TextWordWrap, body).height();
    const QRect box(r.x(), r.y(), r.width(), head + text_h + 20);
    p.setPen(QPen(QColor(200, 214, 232), 1));
    p.setBrush(kSoft);
    p.drawRoundedRect(box, 8, 8);
    badge(p, QPoint(r.x() + 22, r.y() + 20), n);
    text(p, inner, heading, 17, kAccent, true);
    text(p, inner.adjusted(0, head + 4, 0, 0), body, 15);
    return box.bottom();
}

void edit(QPainter& p, QPoint o, int left, int top, int width, const QString& s,
          const QColor& back) {
    const QRect r(o.x() + px(left), o.y() + px(top), px(width), px(kRow));
    p.setPen(QColor(120, 120, 120));
    p.setBrush(back);
    p.drawRect(r);
    p.setPen(kInk);
    p.setFont(font(12));
    p.drawText(r.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, s);
}

void button(QPainter& p, QPoint o, int left, int top, int width, const QString& s,
            const QColor& back) {
    const QRect r(o.x() + px(left), o.y() + px(top), px(width), px(kRow));
    p.setPen(QColor(140, 140, 140));
    p.setBrush(back);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(kInk);
    p.setFont(font(12));
    p.drawText(r, Qt::AlignCenter, s);
}

void label(QPainter& p, QPoint o, int left, int top, const QString& s) {
    p.setPen(kInk);
    p.setFont(font(11));
    p.drawText(QRect(o.x() + px(left), o.y() + px(top), 400, px(kRow)),
               Qt::AlignVCenter | Qt::AlignLeft, s);
}

void check(QPainter& p, QPoint o, int left, int top, bool on) {
    const QRect r(o.x() + px(left) + 1, o.y() + px(top) + 3, 13, 13);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawRect(r);
    if (!on) return;
    p.setPen(QPen(kInk, 2));
    p.drawLine(r.x() + 3, r.y() + 7, r.x() + 6, r.y() + 10);
    p.drawLine(r.x() + 6, r.y() + 10, r.x() + 11, r.y() + 3);
}

void combo(QPainter& p, QPoint o, int left, int top, int width, const QString& s,
           const QColor& back) {
    edit(p, o, left, top, width - 315, s, back);
    button(p, o, left + width - 315, top, 315, "▼");
}

void slot_frame(QPainter& p, QPoint o, int number) {
    p.setPen(QColor(170, 170, 170));
    p.setBrush(kPanel);
    p.drawRect(o.x(), o.y(), px(12075), px(645));
    label(p, o, 30, 30, QString("程序%1").arg(number));
}

int flow(QPainter& p, int left, int top, int width, const QStringList& items) {
    const int n = static_cast<int>(items.size());
    const int gap = 22;
    const int w = (width - gap * (n - 1)) / n;
    const int h = 40;
    for (int i = 0; i < n; ++i) {
        const QRect r(left + i * (w + gap), top, w, h);
        p.setPen(QPen(kAccent, 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, 6, 6);
        p.setPen(kInk);
        p.setFont(font(13));
        p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, items[i]);
        if (i + 1 < n)
            arrow(p, QPointF(r.right() + 3, top + h / 2.0),
                  QPointF(r.right() + gap - 3, top + h / 2.0), kAccent);
    }
    return top + h;
}

void hint(QPainter& p, int top, int width, int height, const QString& s) {
    const QRect box(24, top, width - 48, height - 10 - top);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 214));
    p.drawRoundedRect(box, 8, 8);
    p.setFont(font(14));
    p.setPen(QColor(120, 80, 0));
    p.drawText(box.adjusted(14, 0, -14, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, s);
}

void arrow(QPainter& p, QPointF a, QPointF b, const QColor& c) {
    p.setPen(QPen(c, 2));
    p.drawLine(a, b);
    const QLineF line(b, a);
    const double angle = qDegreesToRadians(line.angle());
    const QPointF left = b + QPointF(std::cos(angle + 0.45) * 10, -std::sin(angle + 0.45) * 10);
    const QPointF right = b + QPointF(std::cos(angle - 0.45) * 10, -std::sin(angle - 0.45) * 10);
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({b, left, right}));
}

void click_row(QPainter& p, QPoint o, const QStringList& positions) {
    label(p, o, 30, 330, "启动程序");
    combo(p, o, 1290, 330, 615, "8");
    label(p, o, 1935, 330, "秒后鼠标点击位置");
    edit(p, o, 3360, 330, 1005, positions.value(0));
    for (int i = 1; i < 4; ++i) {
        combo(p, o, 1830 + 2550 * i, 330, 615, "3");
        label(p, o, 2475 + 2550 * i, 330, "秒后再点击");
        edit(p, o, 3360 + 2550 * i, 330, 1005, positions.value(i));
    }
}

} // namespace helppics
