#include "ui/control_helpers.h"

#include "system/numbers.h"
#include "system/text.h"
#include "ui/control_color.h"
#include "ui/picture_box.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cmath>
#include <stdexcept>

namespace keeprun {
namespace {

enum class Align { centre, left, right };

QPointF cell_text(PictureBox* box, float x, float y, const QString& str, float font_size, bool bold,
                  std::int32_t colour, Align align) {
    box->set_font_size(font_size);
    box->set_bold(bold);
    box->set_fore(colour);
    const double w = box->text_width(str);
    const double h = box->text_height(str);
    double left = x;
    if (align == Align::centre) left = x + (1 - w) / 1.85;
    if (align == Align::right) left = x + (1 - w);
    const double top = y + (1 - h) / 1.8;
    if (!std::isfinite(left) || !std::isfinite(top))
        throw std::overflow_error("text position out of range");
    box->print_at(left, top, str);
    return QPointF(left, top);
}

} // namespace

void list_append(QListWidget* list, const QString& str, int max_lines) {
    // Record lines are one row each; uniform rows spare a layout of every line on
    // each scroll, which would make a start with 1000 lines take seconds.
    list->setUniformItemSizes(true);
    if (list->count() >= max_lines && list->count() > 0) delete list->takeItem(0);
    list->addItem(QString::fromStdString(trim_spaces(str.toStdString())));
    list_select_last(list);
}

void list_unselect_last(QListWidget* list) {
    if (list->count() > 0) list->item(list->count() - 1)->setSelected(false);
}

void list_select_last(QListWidget* list) {
    if (list->count() <= 2) return;
    list->setCurrentRow(list->count() - 1);
    list->scrollToItem(list->currentItem());
}

QPointF draw_text_centred(PictureBox* box, float x, float y, const QString& str, float font_size,
                          bool bold, std::int32_t colour) {
    return cell_text(box, x, y, str, font_size, bold, colour, Align::centre);
}

QPointF draw_text_left(PictureBox* box, float x, float y, const QString& str, float font_size,
                       bool bold, std::int32_t colour) {
    return cell_text(box, x, y, str, font_size, bold, colour, Align::left);
}

QPointF draw_text_right(PictureBox* box, float x, float y, const QString& str, float font_size,
                        bool bold, std::int32_t colour) {
    return cell_text(box, x, y, str, font_size, bold, colour, Align::right);
}

void draw_line_on(PictureBox* box, float x1, float y1, float x2, float y2, float line_width,
                  std::int32_t colour) {
    box->draw_line(QPointF(x1, y1), QPointF(x2, y2), static_cast<int>(round_half_even(line_width)),
                   colour);
}

void draw_circle_on(PictureBox* box, float x, float y, float radius, std::int32_t fill,
                    std::int32_t outline) {
    box->draw_circle(QPointF(x, y), radius, fill, outline);
}

void draw_frame_on(PictureBox* box, float x1, float y1, float x2, float y2, std::int32_t colour) {
    box->draw_rect(QPointF(x1, y1), QPointF(x2, y2), colour, false);
}

void draw_filled_rect_on(PictureBox* box, float x1, float y1, float x2, float y2,
                         std::int32_t colour) {
    box->draw_rect(QPointF(x1, y1), QPointF(x2, y2), colour, true);
}

void set_box_text(const QString& text, QLineEdit* t) {
    if (t) t->setText(text);
}

void scroll_to_end(QPlainTextEdit* t) {
    if (t) t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
}

std::int32_t clamp_box_number(QLineEdit* t, std::int32_t low, std::int32_t high) {
    long long v = round_half_even(number_value(t->text().toStdString()));
    if (v < low) {
        v = low;
        t->setText(QString::number(low));
    }
    if (v > high) {
        v = high;
        t->setText(QString::number(high));
    }
    return static_cast<std::int32_t>(v);
}

void fill_number_items(QComboBox* ctl, std::int16_t first, std::int16_t last) {
    for (int v = first; v <= last; ++v)
        ctl->addItem(QString::number(v));
}

void toggle_button_colour(QAbstractButton* button, std::int32_t on_colour,
                          std::int32_t off_colour) {
    if (!button) return;
    set_back_color(button, back_color(button) == off_colour ? on_colour : off_colour);
}

} // namespace keeprun
