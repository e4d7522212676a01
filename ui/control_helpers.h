#pragma once
// The shared control and drawing routines. Each works on the control it is
// given and changes it at once; none keeps state.
#include <QPointF>
#include <QString>
#include <cstdint>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace keeprun {

class PicBox;

// Appends `str` trimmed of blanks, keeping at most `cd` lines (one oldest line
// goes per call); from the third line on the newest line is selected and shown.
void list_add_news(QListWidget* list, const QString& str, int cd);
// Unselects the last line, if there is one.
void list_lost_gx(QListWidget* list);
// With more than 2 lines, selects the last one (which scrolls it into view).
void list_goto_di(QListWidget* list);

// Text in the cell one unit wide and high whose top-left corner is (X, y):
// centred, left-aligned, right-aligned. Sets the box's font size `dx`, bold
// `cx` and colour `ys`; returns where the text was put. A position that is not
// a finite number throws std::overflow_error.
QPointF pic_wrid(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                 std::int32_t ys);
QPointF pic_wridzuo(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                    std::int32_t ys);
QPointF pic_wridyou(PicBox* Pic, float X, float y, const QString& str, float dx, bool cx,
                    std::int32_t ys);

void pic_line(PicBox* Pic, float X1, float Y1, float X2, float Y2, float line_dx, std::int32_t ys);
void pic_yuan(PicBox* Pic, float X, float y, float R, std::int32_t ys_nei, std::int32_t ys_wai);
void pic_fangkuai_kuang(PicBox* Pic, float X1, float Y1, float X2, float Y2, std::int32_t ys);
void pic_fangkuai_shixin(PicBox* Pic, float X1, float Y1, float X2, float Y2, std::int32_t ys);

// Replaces the text of the box; a missing box is ignored.
void text_Send_data(const QString& mydata, QLineEdit* t);
// Scrolls the box so that its last line is visible; a missing box is ignored.
void text_goto_di(QPlainTextEdit* t);
// The box's number (rounded, halves to even) held within [ks, js]; a value
// outside is written back into the box.
std::int32_t text_fw_csh(QLineEdit* t, std::int32_t ks, std::int32_t js);

// Adds the items val_ks .. val_js as decimal texts.
void combobox_set_csh(QComboBox* ctl, std::int16_t val_ks, std::int16_t val_js);

// Toggles the back colour between color_old and color_news; a missing button is ignored.
void button_set_color_diandong(QAbstractButton* Button, std::int32_t color_news,
                               std::int32_t color_old);

} // namespace keeprun
