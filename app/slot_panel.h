#pragma once
// A slot's panel on the main window: shows the slot's fields, hands every edit
// to the slot and repaints from it after every change. No rule lives here.
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

class ucf_combox;
class ucf_fa;
class ucf_fa2;

// The path box: typing works as in any text box; files dropped from a file
// manager go to the slot's drop handler.
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
    void a_set_ys(std::int32_t ys) override;

    QLabel* Lname;
    PathBox* T_guajitxt;
    std::array<QComboBox*, 4> Combo1{};
    std::array<QLineEdit*, 4> Tzuobiao{};
    std::array<QPushButton*, 2> C_gn{};     // "清除"; "暂停" (first kind only)
    std::array<QCheckBox*, 2> Check_auto{}; // second kind only
    std::array<ucf_combox*, 2> combox{};    // second kind only
    QPushButton* Cf;

  private:
    void build_first_row();
    void build_second_row();
    void show_slot();
    void show_marks();
    void show_pause();
    void take_drop(const std::vector<std::string>& files);

    Slot& slot_;
    ucf_fa* first_ = nullptr;
    ucf_fa2* second_ = nullptr;
    bool showing_ = false; // repainting from the slot: edits are not handed back
    std::int32_t back_;
};

} // namespace keeprun
