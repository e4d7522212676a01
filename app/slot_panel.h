#pragma once
// A slot's panel on the main window: shows the slot's fields and hands every
// edit to the slot; the window has it repaint after every change of the slot.
// No rule lives here.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "schedule/slot.h"
#include "ui/colour_scheme.h"

namespace keeprun {

class DropDownBox;
class KeepAliveSlot;
class TimedSlot;

// The path box: typing works as in any text box and reaches the slot when it
// ends; files dropped from a file manager go to the slot's drop handler at once.
class PathBox : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    std::function<void(const std::vector<std::string>&)> on_files;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class SlotPanel : public QWidget, public SchemeSlot {
  public:
    // `slot` must outlive the panel. Slot width and height in twips.
    static constexpr int kWidth = 12075;
    static constexpr int kHeight = 645;
    SlotPanel(Slot& slot, QWidget* parent);

    // The colour scheme's background colour.
    void set_scheme_colour(std::int32_t colour) override;
    // Shows the slot's fields and marks as they now are.
    void show_slot();

    QLabel* name_label;
    PathBox* path_box;
    std::array<QComboBox*, 4> delay_lists{};
    std::array<QLineEdit*, 4> position_boxes{};
    std::array<QPushButton*, 2> action_buttons{}; // "清除"; "暂停" (first kind only)
    std::array<QCheckBox*, 2> rule_switches{};    // second kind only
    std::array<DropDownBox*, 2> rule_lists{};     // second kind only
    QPushButton* focus_sink;

  private:
    void build_first_row();
    void build_second_row();
    void show_marks();
    void show_pause();
    void take_drop(const std::vector<std::string>& files);

    Slot& slot_;
    KeepAliveSlot* first_ = nullptr;
    TimedSlot* second_ = nullptr;
    bool showing_ = false; // repainting from the slot: edits are not handed back
    std::int32_t back_;
};

} // namespace keeprun
