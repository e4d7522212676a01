#include "ui/message_panel.h"

#include "system/numbers.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/picture_box.h"
#include "ui/plain_text.h"
#include "ui/units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace keeprun {
namespace {

constexpr std::int32_t kPanel = 0xC0FFC0;
constexpr int kRows = 9;

QString countdown_text(int seconds_left) {
    return QString::number(seconds_left) + " 秒后自动关闭";
}

int seconds_of(const QString& field) {
    const long long v = round_half_even(number_value(field.toStdString()));
    // One above the smallest int: the countdown's first step must stay in range.
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min() + 1LL,
                                                  std::numeric_limits<int>::max()));
}

} // namespace

MessagePanel::MessagePanel(QWidget* parent)
    : QWidget(parent), frame_(new QWidget(this)), body_(new QWidget(frame_)),
      text_box_(new PictureBox(body_)), confirm_button_(new QPushButton("点此确认", body_)),
      countdown_label_(new QLabel("倒计时", body_)), countdown_timer_(new QTimer(this)),
      flash_timer_(new QTimer(this)) {
    setObjectName("message_panel");
    frame_->setObjectName("frame");
    body_->setObjectName("body");
    text_box_->setObjectName("text_box");
    confirm_button_->setObjectName("confirm_button");
    countdown_label_->setObjectName("countdown_label");
    countdown_timer_->setObjectName("countdown_timer");
    flash_timer_->setObjectName("flash_timer");

    resize(tw(5055), tw(3615));
    frame_->setGeometry(tw_rect(0, 0, 5055, 3585));
    set_back_color(frame_, kPanel);
    body_->setGeometry(tw_rect(70, 90, 4875, 3405));
    set_back_color(body_, kPanel);
    text_box_->setGeometry(tw_rect(30, 30, 4785, 2715));
    text_box_->set_back(kPanelGrey);
    confirm_button_->setGeometry(tw_rect(1890, 2760, 2925, 600));
    set_back_color(confirm_button_, 0x80FF80);

    QFont f;
    f.setFamilies({"宋体", "SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    f.setPointSizeF(10.5);
    f.setBold(true);
    countdown_label_->setFont(f);
    countdown_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    set_fore_color(countdown_label_, 0xFF00FF);
    countdown_label_->move(tw(1110), tw(2940));
    countdown_label_->adjustSize();
    // Right-aligned and sized to its text, the label grows to the left: its right
    // edge stays where the design caption ends, clear of the button.
    label_right_ = countdown_label_->geometry().right();
    countdown_label_->hide();

    connect(countdown_timer_, &QTimer::timeout, this, &MessagePanel::countdown_tick);
    connect(flash_timer_, &QTimer::timeout, this, &MessagePanel::flash_tick);
    connect(confirm_button_, &QPushButton::clicked, this, &MessagePanel::close_box);
    hide();
}

bool MessagePanel::show_message(const QString& text) {
    const QStringList lines = text.split("\r\n");
    const QStringList fields = lines.front().split("[*]");
    if (fields.size() < 5) return false;

    open_state_ = 1;
    emit open_changed(true);
    set_plain_text(confirm_button_, fields[2]);
    text_box_->set_scale(1, 1, 2, 10);
    text_box_->clear();
    // Rows below the ninth would lie past the bottom edge: nothing of them shows.
    const int last = std::min<int>(static_cast<int>(lines.size()) - 1, kRows);
    for (int k = 1; k <= last; ++k)
        draw_text_left(text_box_, 1, static_cast<float>(k), lines[k], 10, false, 0xFF0000);

    if (fields[3] == "1") {
        countdown_timer_->start(1000);
        seconds_left_ = seconds_of(fields[4]);
        set_countdown_label();
    }
    raise();
    show();
    if (window()->focusWidget() != confirm_button_) {
        focus_before_ = window()->focusWidget();
        confirm_button_->setFocus();
    }
    flash_timer_->start(300);
    return true;
}

void MessagePanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm_button_->click();
        break;
    case Qt::Key_Escape:
        close_box();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MessagePanel::countdown_tick() {
    --seconds_left_;
    set_countdown_label();
    if (seconds_left_ < 1) confirm_button_->click();
}

void MessagePanel::set_countdown_label() {
    countdown_label_->setText(countdown_text(seconds_left_));
    countdown_label_->adjustSize();
    countdown_label_->move(label_right_ + 1 - countdown_label_->width(), countdown_label_->y());
    countdown_label_->show();
}

void MessagePanel::flash_tick() {
    set_back_color(frame_, back_color(frame_) == kRed ? kPanel : kRed);
}

void MessagePanel::close_box() {
    countdown_timer_->stop();
    seconds_left_ = 0;
    countdown_label_->hide();
    open_state_ = 0;
    emit open_changed(false);
    // Before hiding: a hidden focus widget would hand the keyboard to the next control.
    if (focus_before_ && focus_before_->isVisible() && window()->focusWidget() == confirm_button_)
        focus_before_->setFocus();
    hide();
    flash_timer_->stop();
}

} // namespace keeprun
