#pragma once
// The order the Tab key walks the main window in.

namespace keeprun {

class MainWindow;

// Each help button before its four slots, slots 1 to 8 with each row left to
// right, then the top row's buttons, the message box's button and the run record.
// The focus sinks sit in the chain but take no Tab stop.
void set_tab_order(MainWindow& window);

} // namespace keeprun
