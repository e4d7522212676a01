#include "app/tab_order.h"

#include "app/slot_panel.h"
#include "ui/drop_down_box.h"

#include <QLineEdit>

namespace keeprun {

void add_tab_stops(std::vector<QWidget*>& chain, SlotPanel& panel) {
    chain.insert(chain.end(), {panel.focus_sink, panel.path_box, panel.action_buttons[0]});
    if (panel.action_buttons[1]) chain.push_back(panel.action_buttons[1]);
    for (int k = 0; k < 2; ++k) {
        if (!panel.rule_switches[k]) continue;
        chain.push_back(panel.rule_switches[k]);
        chain.push_back(panel.rule_lists[k]->findChild<QLineEdit*>(QStringLiteral("edit")));
    }
    for (int i = 0; i < 4; ++i) {
        chain.push_back(panel.delay_lists[i]);
        chain.push_back(panel.position_boxes[i]);
    }
}

void chain_tab_order(const std::vector<QWidget*>& chain) {
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace keeprun
