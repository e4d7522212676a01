#include "ui/drop_down_box.h"

#include "system/text.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace keeprun {
namespace {

// A list whose keyboard moves count as a choice, as a click does.
class DropList : public QListWidget {
  public:
    using QListWidget::QListWidget;
    std::function<void(int)> on_key_choice;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        const int before = currentRow();
        QListWidget::keyPressEvent(e);
        if (currentRow() != before && currentRow() >= 0 && on_key_choice)
            on_key_choice(currentRow());
    }
};

void check_16bit(std::int32_t index) {
    if (index > 32767 || index < -32768) throw std::overflow_error("index beyond 16 bits");
}

} // namespace

DropDownBox::DropDownBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), drop_button_(new QPushButton("▼", this)),
      item_list_(new DropList(this)), layout_timer_(new QTimer(this)) {
    edit_->setObjectName("edit");
    drop_button_->setObjectName("drop_button");
    item_list_->setObjectName("item_list");
    layout_timer_->setObjectName("layout_timer");

    edit_->setGeometry(tw_rect(0, 0, 2175, 285));
    set_back_color(edit_, 0xFFFFFF);
    drop_button_->setGeometry(tw_rect(2190, 0, 315, 285));
    set_back_color(drop_button_, 0xE0E0E0);
    drop_button_->setFocusPolicy(Qt::NoFocus);
    item_list_->setGeometry(tw_rect(0, 300, 2505, 2370));
    item_list_->setUniformItemSizes(true);
    item_list_->hide();
    static_cast<DropList*>(item_list_)->on_key_choice = [this](int row) { choose(row); };
    item_list_->installEventFilter(this);

    layout_timer_->setSingleShot(true);
    connect(layout_timer_, &QTimer::timeout, this, &DropDownBox::lay_out);
    connect(drop_button_, &QPushButton::clicked, this, &DropDownBox::open_list);
    connect(item_list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(item_list_->row(item)); });
    resize(tw(2505), tw(2670));
    layout_timer_->start(50);
}

DropDownBox::~DropDownBox() {
    // An open list belongs to the main window; bring it home so it goes with this control.
    if (item_list_->parent() != this) close_list();
}

void DropDownBox::set_items(const QStringList& items, int index) {
    item_list_->clear();
    edit_->clear();
    item_list_->addItems(items);
    if (index < 0 || index >= items.size()) throw std::out_of_range("index outside the items");
    edit_->setText(items[index]);
}

void DropDownBox::add_item(const QString& text) {
    item_list_->addItem(text);
}

void DropDownBox::select_index(std::int32_t index) {
    check_16bit(index);
    if (index >= 0 && index < item_list_->count()) edit_->setText(item_list_->item(index)->text());
}

QString DropDownBox::text() const {
    return QString::fromStdString(trim_spaces(edit_->text().toStdString()));
}

int DropDownBox::count() const {
    return item_list_->count();
}

QString DropDownBox::item_text(std::int32_t index) const {
    check_16bit(index);
    if (index < 0 || index >= item_list_->count()) return {};
    return item_list_->item(index)->text();
}

void DropDownBox::set_back_colour(std::int32_t colour) {
    set_back_color(edit_, colour);
}
void DropDownBox::set_fore_colour(std::int32_t colour) {
    set_fore_color(edit_, colour);
}

bool DropDownBox::is_open() const {
    return item_list_->isVisible();
}

void DropDownBox::open_list() {
    item_list_->hide();
    QWidget* main = window();
    item_list_->setParent(main);
    // The left edge is the one within the slot, applied on the main window.
    item_list_->move(x() + tw(50), tw(list_top_));
    // Start the keys from the item shown in the field.
    const auto found = item_list_->findItems(edit_->text(), Qt::MatchExactly);
    if (!found.isEmpty()) {
        item_list_->setCurrentItem(found.front(), QItemSelectionModel::ClearAndSelect);
        item_list_->scrollToItem(found.front(), QAbstractItemView::PositionAtTop);
    } else {
        item_list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    item_list_->raise();
    item_list_->show();
    item_list_->setFocus(Qt::PopupFocusReason);
    main->installEventFilter(this);
    qApp->installEventFilter(this);
}

void DropDownBox::close_list() {
    qApp->removeEventFilter(this);
    window()->removeEventFilter(this);
    item_list_->hide();
    item_list_->setParent(this);
    item_list_->move(0, tw(300));
}

void DropDownBox::choose(int row) {
    if (row < 0 || row >= item_list_->count()) return;
    edit_->setText(item_list_->item(row)->text());
    close_list();
    edit_->setFocus(Qt::OtherFocusReason);
}

bool DropDownBox::eventFilter(QObject* watched, QEvent* event) {
    if (!is_open()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // Labels and panels take no focus, so a press on them must close the list itself.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != item_list_ && !item_list_->isAncestorOf(w) && w != drop_button_) close_list();
        break;
    }
    case QEvent::WindowDeactivate:
        if (watched == window()) close_list();
        break;
    case QEvent::FocusOut:
        if (watched == item_list_ &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            close_list();
        break;
    case QEvent::KeyPress:
        if (watched == item_list_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close_list();
            edit_->setFocus(Qt::OtherFocusReason);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void DropDownBox::resizeEvent(QResizeEvent*) {
    layout_timer_->start(50);
}

void DropDownBox::lay_out() {
    resize(width(), edit_->height());
    edit_->resize(width() - drop_button_->width(), edit_->height());
    drop_button_->move(edit_->x() + edit_->width(), drop_button_->y());
    item_list_->resize(width(), item_list_->height());
}

} // namespace keeprun
