#pragma once
// The cursor readout on the main window and the Ctrl+8 copy of it.
#include <QString>

class QWidget;

namespace keeprun {

class Fmain;

// Every tick of Timer_zuobiao: the cursor position into L_show as "x*y".
void show_cursor_pos(Fmain& window);
// Runs Timer_zuobiao only while the window can be seen (shown, not minimised).
void follow_visibility(Fmain& window);
// Ctrl+8 going down copies the readout; Timer_Ctrl8 then pauses 2 s, after
// which keys still held copy again.
void watch_copy_hotkey(Fmain& window);

// Clears the clipboard and puts the text on it; "ok" when keeprun then owns
// the clipboard with that text, "" on any failure.
QString copy_text(const QString& text);
// Up to 100 tries of copy_text; reports success in the window's message box,
// failure in a standard box.
void data_cpno(Fmain& window, const QString& mysj);
// The same copy, reporting success with the notice Ftishi.
void data_cp(QWidget* owner, const QString& mysj);

} // namespace keeprun
