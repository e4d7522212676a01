#include "ui/control_helpers.h"

#include "system/numbers.h"
#include "system/text.h"
#include "ui/control_color.h"
#include "ui/picbox.h"

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

QPointF cell_text(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                  std::int32_t ys, Align align) {
    Pic->set_font_size(dx);
    Pic->set_bold(cx);
    Pic->set_fore(ys);
    const double w = Pic->text_width(str);
    const double h = Pic->text_height(str);
    double x = X;
    if (align == Align::centre) x = X + (1 - w) / 1.85;
    if (align == Align::right) x = X + (1 - w);
    const double top = y + (1 - h) / 1.8;
    if (!std::isfinite(x) || !std::isfinite(top))
        throw std::overflow_error("text position out of range");
    Pic->print_at(x, top, str);
    return QPointF(x, top);
}

} // namespace

void list_add_news(QListWidget* list, const QString& str, int cd) {
    // Record lines are one row each; uniform rows spare a layout of every line on
    // each scroll, which would make a start with 1000 lines take seconds.
    list->setUniformItemSizes(true);
    if (list->count() >= cd && list->count() > 0) delete list->takeItem(0);
    list->addItem(QString::fromStdString(trim_spaces(str.toStdString())));
    list_goto_di(list);
}

void list_lost_gx(QListWidget* list) {
    if (list->count() > 0) list->item(list->count() - 1)->setSelected(false);
}

void list_goto_di(QListWidget* list) {
    if (list->count() <= 2) return;
    list->setCurrentRow(list->count() - 1);
    list->scrollToItem(list->currentItem());
}

QPointF pic_wrid(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                 std::int32_t ys) {
    return cell_text(Pic, X, y, str, dx, cx, ys, Align::centre);
}

QPointF pic_wridzuo(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                    std::int32_t ys) {
    return cell_text(Pic, X, y, str, dx, cx, ys, Align::left);
}

QPointF pic_wridyou(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                    std::int32_t ys) {
    return cell_text(Pic, X, y, str, dx, cx, ys, Align::right);
}

void pic_line(PicBox* Pic, float X1, float Y1, float X2, float Y2, float line_dx, std::int32_t ys) {
    Pic->draw_line(QPointF(X1, Y1), QPointF(X2, Y2), static_cast<int>(round_half_even(line_dx)),
                   ys);
}

void pic_yuan(PicBox* Pic, float X, float y, float R, std::int32_t ys_nei, std::int32_t ys_wai) {
    Pic->draw_circle(QPointF(X, y), R, ys_nei, ys_wai);
}

void pic_fangkuai_kuang(PicBox* Pic, float X1, float Y1, float X2, float Y2, std::int32_t ys) {
    Pic->draw_rect(QPointF(X1, Y1), QPointF(X2, Y2), ys, false);
}

void pic_fangkuai_shixin(PicBox* Pic, float X1, float Y1, float X2, float Y2, std::int32_t ys) {
    Pic->draw_rect(QPointF(X1, Y1), QPointF(X2, Y2), ys, true);
}

void text_Send_data(const QString& mydata, QLineEdit* t) {
    if (t) t->setText(mydata);
}

void text_goto_di(QPlainTextEdit* t) {
    if (t) t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
}

std::int32_t text_fw_csh(QLineEdit* t, std::int32_t ks, std::int32_t js) {
    long long v = round_half_even(number_value(t->text().toStdString()));
    if (v < ks) {
        v = ks;
        t->setText(QString::number(ks));
    }
    if (v > js) {
        v = js;
        t->setText(QString::number(js));
    }
    return static_cast<std::int32_t>(v);
}

void combobox_set_csh(QComboBox* ctl, std::int16_t val_ks, std::int16_t val_js) {
    for (int v = val_ks; v <= val_js; ++v)
        ctl->addItem(QString::number(v));
}

void button_set_color_diandong(QAbstractButton* Button, std::int32_t color_news,
                               std::int32_t color_old) {
    if (!Button) return;
    set_back_color(Button, back_color(Button) == color_old ? color_news : color_old);
}

} // namespace keeprun
