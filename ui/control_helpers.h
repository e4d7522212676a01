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

class PictureBox;

// Appends `str` trimmed of blanks, keeping at most `max_lines` lines (one oldest line
// goes per call); from the third line on the newest line is selected and shown.
void list_append(QListWidget* list, const QString& str, int max_lines);
// Unselects the last line, if there is one.
void list_unselect_last(QListWidget* list);
// With more than 2 lines, selects the last one (which scrolls it into view).
void list_select_last(QListWidget* list);

// Text in the cell one unit wide and high whose top-left corner is (x, y):
// centred, left-aligned, right-aligned. Sets the box's font size `font_size`, bold
// `bold` and colour `colour`; returns where the text was put. A position that is not
// a finite number throws std::overflow_error.
QPointF draw_text_centred(PictureBox* box, float x, float y, const QString& str, float font_size,
                          bool bold, std::int32_t colour);
QPointF draw_text_left(PictureBox* box, float x, float y, const QString& str, float font_size,
                       bool bold, std::int32_t colour);
QPointF draw_text_right(PictureBox* box, float x, float y, const QString& str, float font_size,
                        bool bold, std::int32_t colour);

void draw_line_on(PictureBox* box, float x1, float y1, float x2, float y2, float line_width,
                  std::int32_t colour);
void draw_circle_on(PictureBox* box, float x, float y, float radius, std::int32_t fill,
                    std::int32_t outline);
void draw_frame_on(PictureBox* box, float x1, float y1, float x2, float y2, std::int32_t colour);
void draw_filled_rect_on(PictureBox* box, float x1, float y1, float x2, float y2,
                         std::int32_t colour);

// Replaces the text of the box; a missing box is ignored.
void set_box_text(const QString& text, QLineEdit* t);
// Scrolls the box so that its last line is visible; a missing box is ignored.
void scroll_to_end(QPlainTextEdit* t);
// The box's number (rounded, halves to even) held within [low, high]; a value
// outside is written back into the box.
std::int32_t clamp_box_number(QLineEdit* t, std::int32_t low, std::int32_t high);

// Adds the items first .. last as decimal texts.
void fill_number_items(QComboBox* ctl, std::int16_t first, std::int16_t last);

// Toggles the back colour between off_colour and on_colour; a missing button is ignored.
void toggle_button_colour(QAbstractButton* button, std::int32_t on_colour, std::int32_t off_colour);

} // namespace keeprun
