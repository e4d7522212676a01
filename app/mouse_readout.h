#pragma once
// The cursor readout on the main window and the Ctrl+8 copy of it.
#include <QString>

class QWidget;

namespace keeprun {

class Fmain;

// Every tick of Timer_zuobiao: the cursor position into L_show as "x*y".
void show_cursor_pos(Fmain& window);
// Every tick of Timer_Ctrl8: with Ctrl and either 8 held, copies the readout
// and waits 2 s before looking again.
void check_copy_hotkey(Fmain& window);

// Clears the clipboard and puts the text on it; "ok" when keeprun then owns
// the clipboard with that text, "" on any failure.
QString copy_text(const QString& text);
// Up to 100 tries of copy_text; reports success in the window's message box,
// failure in a standard box.
void data_cpno(Fmain& window, const QString& mysj);
// The same copy, reporting success with the notice Ftishi.
void data_cp(QWidget* owner, const QString& mysj);

} // namespace keeprun
