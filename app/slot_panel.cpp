#include "app/slot_panel.h"

#include "schedule/keep_alive_slot.h"
#include "schedule/timed_slot.h"
#include "ui/control_color.h"
#include "ui/drop_down_box.h"
#include "ui/qt_text.h"
#include "ui/units.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace keeprun {
namespace {

constexpr int kRow1 = 15;
constexpr int kRow2 = 345;
constexpr int kRowHeight = 285;
constexpr int kDelayWidth = 600;

// How the panel shows what a field means (Windows colour values 0x00BBGGRR).
constexpr std::int32_t kNearBlack = 1;
constexpr std::int32_t kGreyText = 0x808080;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kUnsetField = 0xF9F9F4;

// Top edge of the timed slots' rule lists when opened, in main-window twips,
// for slots 5 to 8: each opens where it has room on the window.
int rule_list_top(int slot_number) {
    constexpr int kTops[4] = {5040, 5880, 4020, 4850};
    return slot_number >= 5 && slot_number <= 8 ? kTops[slot_number - 5] : 0;
}

bool carries_files(const QMimeData* data) {
    return data && data->hasUrls();
}

QLabel* label_at(QWidget* parent, const QString& text, int left, int top, int width) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(tw_rect(left, top, width, kRowHeight));
    return l;
}

// Every timed slot offers the same rules: one copy of their texts serves all
// the boxes (each of the 1446 lines would otherwise be held eight times).
QStringList shared_texts(const std::vector<std::string>& items) {
    static std::vector<QStringList> made;
    const auto same = [&](const QStringList& texts) {
        return std::ranges::equal(texts, items, [](const QString& a, const std::string& b) {
            return a == to_qstring(b);
        });
    };
    if (const auto found = std::ranges::find_if(made, same); found != made.end()) return *found;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        texts << to_qstring(item);
    made.push_back(texts);
    return texts;
}

void set_text_if_changed(QLineEdit* edit, const std::string& text) {
    const QString t = to_qstring(text);
    if (edit->text() != t) edit->setText(t);
}

} // namespace

void PathBox::dragEnterEvent(QDragEnterEvent* event) {
    if (carries_files(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void PathBox::dragMoveEvent(QDragMoveEvent* event) {
    if (carries_files(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void PathBox::dropEvent(QDropEvent* event) {
    if (!carries_files(event->mimeData())) {
        QLineEdit::dropEvent(event);
        return;
    }
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    if (on_files) on_files(files);
}

SlotPanel::SlotPanel(Slot& slot, QWidget* parent)
    : QWidget(parent), slot_(slot), first_(dynamic_cast<KeepAliveSlot*>(&slot)),
      second_(dynamic_cast<TimedSlot*>(&slot)), back_(kPanelGrey) {
    resize(tw(kWidth), tw(kHeight));
    set_back_color(this, back_);
    // Takes the focus after a button action so that no focus mark stays on it.
    focus_sink = new QPushButton(this);
    focus_sink->setGeometry(0, 0, 1, 1);
    focus_sink->setFlat(true);
    focus_sink->setFocusPolicy(Qt::ClickFocus); // no Tab stop
    build_first_row();
    build_second_row();
    show_slot();
}

void SlotPanel::build_first_row() {
    name_label = label_at(this, QString(), 30, kRow1, 500);
    path_box = new PathBox(this);
    path_box->setGeometry(tw_rect(540, kRow1, 6165, kRowHeight));
    path_box->setAcceptDrops(true);
    path_box->on_files = [this](const std::vector<std::string>& files) { take_drop(files); };
    // A typed path counts once typing ends: a pause at a prefix that names a
    // program must not start that program.
    connect(path_box, &QLineEdit::editingFinished, this,
            [this] { slot_.set_path_text(path_box->text().toStdString()); });

    action_buttons[0] = new QPushButton(QStringLiteral("清除"), this);
    action_buttons[0]->setGeometry(tw_rect(6720, kRow1, 570, kRowHeight));
    connect(action_buttons[0], &QPushButton::clicked, this, [this] {
        slot_.clear_slot();
        focus_sink->setFocus();
    });

    if (first_) {
        action_buttons[1] = new QPushButton(QStringLiteral("暂停"), this);
        action_buttons[1]->setGeometry(tw_rect(7320, kRow1, 570, kRowHeight));
        connect(action_buttons[1], &QPushButton::clicked, this, [this] {
            first_->toggle_pause();
            show_pause();
            focus_sink->setFocus();
        });
        return;
    }
    const int check_left[2] = {7320, 10110};
    const int list_left[2] = {7560, 10410};
    const int list_width[2] = {2475, 1605};
    for (int k = 0; k < 2; ++k) {
        rule_switches[k] = new QCheckBox(this);
        rule_switches[k]->setGeometry(tw_rect(check_left[k], kRow1, 240, kRowHeight));
        connect(rule_switches[k], &QCheckBox::clicked, this,
                [this, k](bool on) { slot_.set_switch(k, on ? 1 : 0); });
        rule_lists[k] = new DropDownBox(this);
        rule_lists[k]->setGeometry(tw_rect(list_left[k], kRow1, list_width[k], kRowHeight));
        rule_lists[k]->set_list_top(rule_list_top(slot_.slot_number()));
        auto* field = rule_lists[k]->findChild<QLineEdit*>(QStringLiteral("edit"));
        connect(field, &QLineEdit::textChanged, this, [this, k](const QString& t) {
            if (!showing_) slot_.set_choice_text(k, t.toStdString());
        });
    }
}

void SlotPanel::build_second_row() {
    label_at(this, QStringLiteral("启动程序"), 540, kRow2, 750);
    label_at(this, QStringLiteral("秒后鼠标点击位置"), 1290 + kDelayWidth + 15, kRow2,
             3360 - 1290 - kDelayWidth - 15);
    const int delay_left[4] = {1290, 4380, 6930, 9480};
    const int position_left[4] = {3360, 5910, 8460, 11010};
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            label_at(this, QStringLiteral("秒后再点击"), delay_left[i] + kDelayWidth + 15, kRow2,
                     position_left[i] - delay_left[i] - kDelayWidth - 15);
        auto* delay = new QComboBox(this);
        delay->setEditable(true);
        delay->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& item : Slot::delay_items(i))
            delay->addItem(to_qstring(item));
        delay->setGeometry(tw_rect(delay_left[i], kRow2, kDelayWidth, kRowHeight));
        connect(delay, &QComboBox::editTextChanged, this, [this, i](const QString& t) {
            if (!showing_) slot_.set_delay(i, t.toStdString());
        });
        delay_lists[i] = delay;

        auto* position = new QLineEdit(this);
        position->setGeometry(tw_rect(position_left[i], kRow2, 1005, kRowHeight));
        connect(position, &QLineEdit::textEdited, this,
                [this, i](const QString& t) { slot_.set_position(i, t.toStdString()); });
        position_boxes[i] = position;
    }
}

void SlotPanel::show_slot() {
    showing_ = true;
    name_label->setText(to_qstring(slot_.label()));
    // The slot keeps its hint as the path text; on screen it is a placeholder, so
    // a click puts the caret into an empty box.
    const bool hint = slot_.path_text() == slot_.hint();
    path_box->setPlaceholderText(hint ? to_qstring(slot_.hint()) : QString());
    set_text_if_changed(path_box, hint ? std::string() : slot_.path_text());
    for (int i = 0; i < 4; ++i) {
        if (delay_lists[i]->currentText() != to_qstring(slot_.delay(i)))
            delay_lists[i]->setEditText(to_qstring(slot_.delay(i)));
        set_text_if_changed(position_boxes[i], slot_.position(i));
    }
    if (second_) {
        for (int k = 0; k < 2; ++k) {
            rule_switches[k]->setChecked(slot_.switch_value(k) == 1);
            const ChoiceList& list = slot_.choice_list(k);
            if (static_cast<std::size_t>(rule_lists[k]->count()) != list.items.size() &&
                !list.items.empty())
                rule_lists[k]->set_items(shared_texts(list.items), 0);
            // Typed times are no items: the field shows the slot's text itself.
            set_text_if_changed(rule_lists[k]->findChild<QLineEdit*>(QStringLiteral("edit")),
                                list.text);
            rule_lists[k]->set_list_top(rule_list_top(slot_.slot_number()));
        }
    }
    show_marks();
    showing_ = false;
}

void SlotPanel::show_marks() {
    const Marks m = slot_.refresh_marks();
    set_fore_color(path_box, m.path_is_program ? kNearBlack : kGreyText);
    QPalette hint_colour = path_box->palette();
    hint_colour.setColor(QPalette::PlaceholderText, hint_colour.color(QPalette::Text));
    path_box->setPalette(hint_colour);
    for (std::size_t i = 0; i < 4; ++i) {
        const bool set = m.position_set[i];
        set_back_color(delay_lists[i], set ? kWhite : kUnsetField);
        set_back_color(delay_lists[i]->lineEdit(), set ? kWhite : kUnsetField);
        set_back_color(position_boxes[i], set ? kWhite : kUnsetField);
        set_fore_color(position_boxes[i], set ? kNearBlack : kGreyText);
    }
    if (m.rule_lists_on) {
        for (std::size_t k = 0; k < 2; ++k) {
            const bool on = (*m.rule_lists_on)[k];
            rule_lists[k]->set_back_colour(on ? kWhite : kPanelGrey);
            rule_lists[k]->set_fore_colour(on ? kNearBlack : kGreyText);
        }
    }
}

void SlotPanel::show_pause() {
    if (first_) set_back_color(action_buttons[1], first_->paused() ? kRed : back_);
}

void SlotPanel::set_scheme_colour(std::int32_t colour) {
    back_ = colour;
    set_back_color(this, colour);
    set_back_color(action_buttons[0], colour);
    if (first_) {
        set_back_color(action_buttons[1], colour);
        return;
    }
    for (QCheckBox* check : rule_switches)
        set_back_color(check, colour);
}

void SlotPanel::take_drop(const std::vector<std::string>& files) {
    if (slot_.drop_files(files) != DropOutcome::rejected) return;
    // Shown after the drop has finished, so the file manager is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QMessageBox box(QMessageBox::NoIcon, to_qstring(std::string(kDropRejectedTitle)),
                            to_qstring(std::string(kDropRejectedText)), QMessageBox::Ok, this);
            box.exec();
        },
        Qt::QueuedConnection);
}

} // namespace keeprun
