#pragma once
// A picture box: a control that keeps what is drawn on it (so it survives
// repainting), with a user coordinate system chosen by its owner.
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <cstdint>

#include "ui/control_color.h"

namespace keeprun {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // User coordinates: the left and top edges, and the right and bottom edges.
    void set_scale(double left, double top, double right, double bottom);
    // Back to pixels (left 0, top 0, one unit a pixel).
    void reset_scale();
    // Fills the whole box with its back colour.
    void clear();

    void set_back(std::int32_t colour);
    std::int32_t back() const { return back_; }
    void set_font_size(double points);
    void set_bold(bool bold);
    void set_fore(std::int32_t colour) { fore_ = colour; }
    QFont text_font() const { return font_; }

    // Size of a text in user units with the current font.
    double text_width(const QString& text) const;
    double text_height(const QString& text) const;
    // Prints a text with its top-left corner at (x, y) in user units; the
    // drawing position then moves to the start of the next line.
    void print_at(double x, double y, const QString& text);
    QPointF current_pos() const { return current_; }

    void draw_line(QPointF a, QPointF b, int width, std::int32_t colour);
    void draw_circle(QPointF centre, double radius, std::int32_t fill, std::int32_t outline);
    void draw_rect(QPointF a, QPointF b, std::int32_t colour, bool filled);

    // Replaces the kept picture (the box keeps its size).
    void set_picture(const QImage& image);
    const QImage& picture() const { return canvas_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointF to_pixels(QPointF p) const;
    double unit_w() const;
    double unit_h() const;

    QImage canvas_;
    QFont font_;
    std::int32_t back_ = kPanelGrey;
    std::int32_t fore_ = 0;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0; // width_ 0: pixels
    QPointF current_;
};

} // namespace keeprun
