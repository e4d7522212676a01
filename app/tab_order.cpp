#include "app/tab_order.h"

#include "app/main_window.h"
#include "ui/drop_down_box.h"

#include <QLineEdit>
#include <vector>

namespace keeprun {
namespace {

void add_slot(std::vector<QWidget*>& chain, SlotPanel& panel) {
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

} // namespace

void set_tab_order(MainWindow& window) {
    std::vector<QWidget*> chain{window.help_buttons[0]};
    for (int k = 1; k <= 4; ++k)
        add_slot(chain, window.keep_alive_panel(k));
    chain.push_back(window.help_buttons[1]);
    for (int k = 1; k <= 4; ++k)
        add_slot(chain, window.timed_panel(k));
    chain.push_back(window.focus_sink);
    for (int i = 1; i <= 5; ++i)
        chain.push_back(window.vendor_buttons[i]);
    chain.push_back(window.start_minimised_box);
    chain.push_back(
        window.message_panel->findChild<QPushButton*>(QStringLiteral("confirm_button")));
    chain.push_back(window.record_list);
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace keeprun
