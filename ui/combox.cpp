#include "ui/combox.h"

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

ucf_combox::ucf_combox(QWidget* parent)
    : QWidget(parent), T_dd_(new QLineEdit(this)), C_xiala_(new QPushButton("▼", this)),
      Listdi_list_(new DropList(this)), Timer1_(new QTimer(this)) {
    T_dd_->setObjectName("T_dd");
    C_xiala_->setObjectName("C_xiala");
    Listdi_list_->setObjectName("Listdi_list");
    Timer1_->setObjectName("Timer1");

    T_dd_->setGeometry(tw_rect(0, 0, 2175, 285));
    set_back_color(T_dd_, 0xFFFFFF);
    C_xiala_->setGeometry(tw_rect(2190, 0, 315, 285));
    set_back_color(C_xiala_, 0xE0E0E0);
    C_xiala_->setFocusPolicy(Qt::NoFocus);
    Listdi_list_->setGeometry(tw_rect(0, 300, 2505, 2370));
    Listdi_list_->setUniformItemSizes(true);
    Listdi_list_->hide();
    static_cast<DropList*>(Listdi_list_)->on_key_choice = [this](int row) { choose(row); };
    Listdi_list_->installEventFilter(this);

    Timer1_->setSingleShot(true);
    connect(Timer1_, &QTimer::timeout, this, &ucf_combox::lay_out);
    connect(C_xiala_, &QPushButton::clicked, this, &ucf_combox::open_list);
    connect(Listdi_list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(Listdi_list_->row(item)); });
    resize(tw(2505), tw(2670));
    Timer1_->start(50);
}

ucf_combox::~ucf_combox() {
    // An open list belongs to the main window; bring it home so it goes with this control.
    if (Listdi_list_->parent() != this) close_list();
}

void ucf_combox::a_add_zd(const QStringList& zd, int Index) {
    Listdi_list_->clear();
    T_dd_->clear();
    Listdi_list_->addItems(zd);
    if (Index < 0 || Index >= zd.size()) throw std::out_of_range("index outside the items");
    T_dd_->setText(zd[Index]);
}

void ucf_combox::a_add_one(const QString& vstr) {
    Listdi_list_->addItem(vstr);
}

void ucf_combox::a_set_index(std::int32_t Index) {
    check_16bit(Index);
    if (Index >= 0 && Index < Listdi_list_->count())
        T_dd_->setText(Listdi_list_->item(Index)->text());
}

QString ucf_combox::a_txt() const {
    return QString::fromStdString(trim_spaces(T_dd_->text().toStdString()));
}

int ucf_combox::a_Count() const {
    return Listdi_list_->count();
}

QString ucf_combox::a_list_txt(std::int32_t Index) const {
    check_16bit(Index);
    if (Index < 0 || Index >= Listdi_list_->count()) return {};
    return Listdi_list_->item(Index)->text();
}

void ucf_combox::BackColor(std::int32_t ys) {
    set_back_color(T_dd_, ys);
}
void ucf_combox::ForeColor(std::int32_t ys) {
    set_fore_color(T_dd_, ys);
}

bool ucf_combox::is_open() const {
    return Listdi_list_->isVisible();
}

void ucf_combox::open_list() {
    Listdi_list_->hide();
    QWidget* main = window();
    Listdi_list_->setParent(main);
    // The left edge is the one within the slot, applied on the main window.
    Listdi_list_->move(x() + tw(50), tw(zb_));
    // Start the keys from the item shown in the field.
    const auto found = Listdi_list_->findItems(T_dd_->text(), Qt::MatchExactly);
    if (!found.isEmpty()) {
        Listdi_list_->setCurrentItem(found.front(), QItemSelectionModel::ClearAndSelect);
        Listdi_list_->scrollToItem(found.front(), QAbstractItemView::PositionAtTop);
    } else {
        Listdi_list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    Listdi_list_->raise();
    Listdi_list_->show();
    Listdi_list_->setFocus(Qt::PopupFocusReason);
    main->installEventFilter(this);
    qApp->installEventFilter(this);
}

void ucf_combox::close_list() {
    qApp->removeEventFilter(this);
    window()->removeEventFilter(this);
    Listdi_list_->hide();
    Listdi_list_->setParent(this);
    Listdi_list_->move(0, tw(300));
}

void ucf_combox::choose(int row) {
    if (row < 0 || row >= Listdi_list_->count()) return;
    T_dd_->setText(Listdi_list_->item(row)->text());
    close_list();
    T_dd_->setFocus(Qt::OtherFocusReason);
}

bool ucf_combox::eventFilter(QObject* watched, QEvent* event) {
    if (!is_open()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // Labels and panels take no focus, so a press on them must close the list itself.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != Listdi_list_ && !Listdi_list_->isAncestorOf(w) && w != C_xiala_) close_list();
        break;
    }
    case QEvent::WindowDeactivate:
        if (watched == window()) close_list();
        break;
    case QEvent::FocusOut:
        if (watched == Listdi_list_ &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            close_list();
        break;
    case QEvent::KeyPress:
        if (watched == Listdi_list_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close_list();
            T_dd_->setFocus(Qt::OtherFocusReason);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ucf_combox::resizeEvent(QResizeEvent*) {
    Timer1_->start(50);
}

void ucf_combox::lay_out() {
    resize(width(), T_dd_->height());
    T_dd_->resize(width() - C_xiala_->width(), T_dd_->height());
    C_xiala_->move(T_dd_->x() + T_dd_->width(), C_xiala_->y());
    Listdi_list_->resize(width(), Listdi_list_->height());
}

} // namespace keeprun
