#pragma once
// The cursor readout on the main window and the Ctrl+8 copy of it.
#include <QString>

class QWidget;

namespace keeprun {

class MainWindow;

// The cursor position into cursor_readout as "x*y".
void show_cursor_pos(MainWindow& window);
// Keeps the readout on the cursor while the window can be seen (shown, not
// minimised): after news of a move, at most once per cursor_timer's pause, or
// on every tick of cursor_timer when the display tells of no moves.
void follow_visibility(MainWindow& window);
// Ctrl+8 going down reads the cursor and copies it, whether the window is seen
// or not; hotkey_timer then pauses 2 s, after which keys still held copy again.
void watch_copy_hotkey(MainWindow& window);

// Clears the clipboard and puts the text on it; "ok" when keeprun then owns
// the clipboard with that text, "" on any failure.
QString copy_text(const QString& text);
// Up to 100 tries of copy_text; reports success in the window's message box,
// failure in a standard box.
void copy_position(MainWindow& window, const QString& text);
// The same copy, reporting success with the notice CopiedNotice.
void copy_with_notice(QWidget* owner, const QString& text);

} // namespace keeprun
