#include "ui/drop_down_box.h"

#include "system/text.h"
#include "ui/control_color.h"
#include "ui/units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <stdexcept>

namespace keeprun {
namespace {

// A list whose keyboard moves count as a choice, as a click does.
class DropList : public QListView {
  public:
    using QListView::QListView;
    std::function<void(int)> on_key_choice;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        const int before = currentIndex().row();
        QListView::keyPressEvent(e);
        const int row = currentIndex().row();
        if (row != before && row >= 0 && on_key_choice) on_key_choice(row);
    }
};

void check_16bit(std::int32_t index) {
    if (index > 32767 || index < -32768) throw std::overflow_error("index beyond 16 bits");
}

} // namespace

DropDownBox::DropDownBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), drop_button_(new QPushButton("▼", this)),
      items_(new QStringListModel(this)), item_list_(new DropList(this)),
      layout_timer_(new QTimer(this)) {
    edit_->setObjectName("edit");
    drop_button_->setObjectName("drop_button");
    item_list_->setObjectName("item_list");
    layout_timer_->setObjectName("layout_timer");

    edit_->setGeometry(tw_rect(0, 0, 2175, 285));
    set_back_color(edit_, 0xFFFFFF);
    drop_button_->setGeometry(tw_rect(2190, 0, 315, 285));
    set_back_color(drop_button_, kPanelGrey);
    drop_button_->setFocusPolicy(Qt::NoFocus);
    item_list_->setGeometry(tw_rect(0, 300, 2505, 2370));
    item_list_->setUniformItemSizes(true);
    item_list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    item_list_->setModel(items_);
    item_list_->hide();
    static_cast<DropList*>(item_list_)->on_key_choice = [this](int row) { choose(row); };
    item_list_->installEventFilter(this);

    layout_timer_->setSingleShot(true);
    connect(layout_timer_, &QTimer::timeout, this, &DropDownBox::lay_out);
    connect(drop_button_, &QPushButton::clicked, this, &DropDownBox::open_list);
    connect(item_list_, &QListView::clicked, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    resize(tw(2505), tw(2670));
    layout_timer_->start(50);
}

DropDownBox::~DropDownBox() {
    // An open list belongs to the main window; bring it home so it goes with this control.
    if (item_list_->parent() != this) close_list();
}

void DropDownBox::set_items(const QStringList& items, int index) {
    edit_->clear();
    items_->setStringList(items);
    if (index < 0 || index >= items.size()) throw std::out_of_range("index outside the items");
    edit_->setText(items[index]);
}

void DropDownBox::add_item(const QString& text) {
    const int row = items_->rowCount();
    items_->insertRows(row, 1);
    items_->setData(items_->index(row), text);
}

void DropDownBox::select_index(std::int32_t index) {
    check_16bit(index);
    if (index >= 0 && index < count()) edit_->setText(item_text(index));
}

QString DropDownBox::text() const {
    return QString::fromStdString(trim_spaces(edit_->text().toStdString()));
}

int DropDownBox::count() const {
    return items_->rowCount();
}

QString DropDownBox::item_text(std::int32_t index) const {
    check_16bit(index);
    if (index < 0 || index >= count()) return {};
    return items_->index(index).data().toString();
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
    const int found = items_->stringList().indexOf(edit_->text());
    if (found >= 0) {
        item_list_->selectionModel()->setCurrentIndex(items_->index(found),
                                                      QItemSelectionModel::ClearAndSelect);
        item_list_->scrollTo(items_->index(found), QAbstractItemView::PositionAtTop);
    } else {
        item_list_->selectionModel()->setCurrentIndex(items_->index(0),
                                                      QItemSelectionModel::NoUpdate);
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
    if (row < 0 || row >= count()) return;
    edit_->setText(item_text(row));
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
