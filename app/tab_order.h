#pragma once
// The order the Tab key walks the windows in.
#include <vector>

class QWidget;

namespace keeprun {

class SlotPanel;

// A slot panel's stops, each row left to right. Its focus sink sits in the
// chain but takes no Tab stop.
void add_tab_stops(std::vector<QWidget*>& chain, SlotPanel& panel);
// Tab walks `chain` in order.
void chain_tab_order(const std::vector<QWidget*>& chain);

} // namespace keeprun
