#include "app/slot_panel.h"

#include "schedule/ucf_fa.h"
#include "schedule/ucf_fa2.h"
#include "ui/combox.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace keeprun {
namespace {

constexpr int kRow1 = 15;
constexpr int kRow2 = 345;
constexpr int kRowHeight = 285;
constexpr int kDelayWidth = 600;

bool carries_files(const QMimeData* data) {
    return data && data->hasUrls();
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QLabel* label_at(QWidget* parent, const QString& text, int left, int top, int width) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(tw_rect(left, top, width, kRowHeight));
    return l;
}

void set_text_if_changed(QLineEdit* edit, const std::string& text) {
    const QString t = q(text);
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
    : QWidget(parent), slot_(slot), first_(dynamic_cast<ucf_fa*>(&slot)),
      second_(dynamic_cast<ucf_fa2*>(&slot)), back_(0xE0E0E0) {
    resize(tw(kWidth), tw(kHeight));
    set_back_color(this, back_);
    // Takes the focus after a button action so that no focus mark stays on it.
    Cf = new QPushButton(this);
    Cf->setGeometry(0, 0, 1, 1);
    Cf->setFlat(true);
    build_first_row();
    build_second_row();
    slot_.set_on_change([this] { show_slot(); });
    show_slot();
}

void SlotPanel::build_first_row() {
    Lname = label_at(this, QString(), 30, kRow1, 500);
    T_guajitxt = new PathBox(this);
    T_guajitxt->setGeometry(tw_rect(540, kRow1, 6165, kRowHeight));
    T_guajitxt->setAcceptDrops(true);
    T_guajitxt->on_files = [this](const std::vector<std::string>& files) { take_drop(files); };
    connect(T_guajitxt, &QLineEdit::textEdited, this,
            [this](const QString& t) { slot_.set_path_text(t.toStdString()); });

    C_gn[0] = new QPushButton(QStringLiteral("清除"), this);
    C_gn[0]->setGeometry(tw_rect(6720, kRow1, 570, kRowHeight));
    connect(C_gn[0], &QPushButton::clicked, this, [this] {
        slot_.clear_slot();
        Cf->setFocus();
    });

    if (first_) {
        C_gn[1] = new QPushButton(QStringLiteral("暂停"), this);
        C_gn[1]->setGeometry(tw_rect(7320, kRow1, 570, kRowHeight));
        connect(C_gn[1], &QPushButton::clicked, this, [this] {
            first_->toggle_pause();
            show_pause();
            Cf->setFocus();
        });
        return;
    }
    const int check_left[2] = {7320, 10110};
    const int list_left[2] = {7560, 10410};
    const int list_width[2] = {2475, 1605};
    for (int k = 0; k < 2; ++k) {
        Check_auto[k] = new QCheckBox(this);
        Check_auto[k]->setGeometry(tw_rect(check_left[k], kRow1, 240, kRowHeight));
        connect(Check_auto[k], &QCheckBox::clicked, this,
                [this, k](bool on) { slot_.set_switch(k, on ? 1 : 0); });
        combox[k] = new ucf_combox(this);
        combox[k]->setGeometry(tw_rect(list_left[k], kRow1, list_width[k], kRowHeight));
        combox[k]->a_zb_top(second_->rule_list_top());
        auto* field = combox[k]->findChild<QLineEdit*>(QStringLiteral("T_dd"));
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
            delay->addItem(q(item));
        delay->setGeometry(tw_rect(delay_left[i], kRow2, kDelayWidth, kRowHeight));
        connect(delay, &QComboBox::editTextChanged, this, [this, i](const QString& t) {
            if (!showing_) slot_.set_delay(i, t.toStdString());
        });
        Combo1[i] = delay;

        auto* position = new QLineEdit(this);
        position->setGeometry(tw_rect(position_left[i], kRow2, 1005, kRowHeight));
        connect(position, &QLineEdit::textEdited, this,
                [this, i](const QString& t) { slot_.set_position(i, t.toStdString()); });
        Tzuobiao[i] = position;
    }
}

void SlotPanel::show_slot() {
    showing_ = true;
    Lname->setText(q(slot_.label()));
    set_text_if_changed(T_guajitxt, slot_.path_text());
    for (int i = 0; i < 4; ++i) {
        if (Combo1[i]->currentText() != q(slot_.delay(i)))
            Combo1[i]->setEditText(q(slot_.delay(i)));
        set_text_if_changed(Tzuobiao[i], slot_.position(i));
    }
    if (second_) {
        for (int k = 0; k < 2; ++k) {
            Check_auto[k]->setChecked(slot_.switch_value(k) == 1);
            const ChoiceList& list = slot_.choice_list(k);
            if (static_cast<std::size_t>(combox[k]->a_Count()) != list.items.size()) {
                QStringList items;
                items.reserve(static_cast<qsizetype>(list.items.size()));
                for (const std::string& item : list.items)
                    items << q(item);
                if (!items.isEmpty()) combox[k]->a_add_zd(items, 0);
            }
            if (combox[k]->a_txt() != q(slot_.a_txt(k))) {
                for (int n = 0; n < combox[k]->a_Count(); ++n)
                    if (combox[k]->a_list_txt(n) == q(list.text)) combox[k]->a_set_index(n);
            }
            combox[k]->a_zb_top(second_->rule_list_top());
        }
    }
    show_marks();
    showing_ = false;
}

void SlotPanel::show_marks() {
    const Marks m = slot_.refresh_marks();
    set_fore_color(T_guajitxt, static_cast<std::int32_t>(m.path_fore));
    for (std::size_t i = 0; i < 4; ++i) {
        set_back_color(Combo1[i], static_cast<std::int32_t>(m.delay_back[i]));
        set_back_color(Combo1[i]->lineEdit(), static_cast<std::int32_t>(m.delay_back[i]));
        set_back_color(Tzuobiao[i], static_cast<std::int32_t>(m.position[i].back));
        set_fore_color(Tzuobiao[i], static_cast<std::int32_t>(m.position[i].fore));
    }
    if (m.rule_lists) {
        for (std::size_t k = 0; k < 2; ++k) {
            combox[k]->BackColor(static_cast<std::int32_t>((*m.rule_lists)[k].back));
            combox[k]->ForeColor(static_cast<std::int32_t>((*m.rule_lists)[k].fore));
        }
    }
}

void SlotPanel::show_pause() {
    if (first_) set_back_color(C_gn[1], first_->paused() ? 255 : back_);
}

void SlotPanel::a_set_ys(std::int32_t ys) {
    back_ = ys;
    set_back_color(this, ys);
    set_back_color(C_gn[0], ys);
    if (first_) {
        set_back_color(C_gn[1], ys);
        return;
    }
    for (QCheckBox* check : Check_auto)
        set_back_color(check, ys);
}

void SlotPanel::take_drop(const std::vector<std::string>& files) {
    if (slot_.T_guajitxt_OLEDragDrop(files) != DropOutcome::rejected) return;
    // Shown after the drop has finished, so the file manager is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QMessageBox box(QMessageBox::NoIcon, q(std::string(kDropRejectedTitle)),
                            q(std::string(kDropRejectedText)), QMessageBox::Ok, this);
            box.exec();
        },
        Qt::QueuedConnection);
}

} // namespace keeprun
