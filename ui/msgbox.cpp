#include "ui/msgbox.h"

#include "system/numbers.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/picbox.h"
#include "ui/units.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace keeprun {
namespace {

constexpr std::int32_t kPanel = 0xC0FFC0;
constexpr std::int32_t kRed = 0xFF;
constexpr int kRows = 9;

QString countdown_text(int djs) {
    return QString::number(djs) + " 秒后自动关闭";
}

int seconds_of(const QString& field) {
    const long long v = round_half_even(number_value(field.toStdString()));
    // One above the smallest int: the countdown's first step must stay in range.
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min() + 1LL,
                                                  std::numeric_limits<int>::max()));
}

} // namespace

ucf_msgbox::ucf_msgbox(QWidget* parent)
    : QWidget(parent), Picture2_(new QWidget(this)), Picture1_(new QWidget(Picture2_)),
      Pick_(new PicBox(Picture1_)), C_help_(new QPushButton("点此确认", Picture1_)),
      Ldjs_(new QLabel("倒计时", Picture1_)), Timer1_(new QTimer(this)), Timer2_(new QTimer(this)) {
    setObjectName("ucf_msgbox");
    Picture2_->setObjectName("Picture2");
    Picture1_->setObjectName("Picture1");
    Pick_->setObjectName("Pick");
    C_help_->setObjectName("C_help");
    Ldjs_->setObjectName("Ldjs");
    Timer1_->setObjectName("Timer1");
    Timer2_->setObjectName("Timer2");

    resize(tw(5055), tw(3615));
    Picture2_->setGeometry(tw_rect(0, 0, 5055, 3585));
    set_back_color(Picture2_, kPanel);
    Picture1_->setGeometry(tw_rect(70, 90, 4875, 3405));
    set_back_color(Picture1_, kPanel);
    Pick_->setGeometry(tw_rect(30, 30, 4785, 2715));
    Pick_->set_back(0xE0E0E0);
    C_help_->setGeometry(tw_rect(1890, 2760, 2925, 600));
    set_back_color(C_help_, 0x80FF80);

    QFont f;
    f.setFamilies({"宋体", "SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    f.setPointSizeF(10.5);
    f.setBold(true);
    Ldjs_->setFont(f);
    Ldjs_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    set_fore_color(Ldjs_, 0xFF00FF);
    Ldjs_->move(tw(1110), tw(2940));
    Ldjs_->adjustSize();
    // Right-aligned and sized to its text, the label grows to the left: its right
    // edge stays where the design caption ends, clear of the button.
    label_right_ = Ldjs_->geometry().right();
    Ldjs_->hide();

    connect(Timer1_, &QTimer::timeout, this, &ucf_msgbox::countdown_tick);
    connect(Timer2_, &QTimer::timeout, this, &ucf_msgbox::flash_tick);
    connect(C_help_, &QPushButton::clicked, this, &ucf_msgbox::close_box);
    hide();
}

bool ucf_msgbox::a_show(const QString& vstr) {
    const QStringList lines = vstr.split("\r\n");
    const QStringList fields = lines.front().split("[*]");
    if (fields.size() < 5) return false;

    bz_ = 1;
    C_help_->setText(fields[2]);
    Pick_->set_scale(1, 1, 2, 10);
    Pick_->cls();
    // Rows below the ninth would lie past the bottom edge: nothing of them shows.
    const int last = std::min<int>(static_cast<int>(lines.size()) - 1, kRows);
    for (int k = 1; k <= last; ++k)
        pic_wridzuo(Pick_, 1, static_cast<float>(k), lines[k], 10, false, 0xFF0000);

    if (fields[3] == "1") {
        Timer1_->start(1000);
        djs_ = seconds_of(fields[4]);
        set_countdown_label();
    }
    raise();
    show();
    Timer2_->start(300);
    return true;
}

void ucf_msgbox::countdown_tick() {
    --djs_;
    set_countdown_label();
    if (djs_ < 1) C_help_->click();
}

void ucf_msgbox::set_countdown_label() {
    Ldjs_->setText(countdown_text(djs_));
    Ldjs_->adjustSize();
    Ldjs_->move(label_right_ + 1 - Ldjs_->width(), Ldjs_->y());
    Ldjs_->show();
}

void ucf_msgbox::flash_tick() {
    set_back_color(Picture2_, back_color(Picture2_) == kRed ? kPanel : kRed);
}

void ucf_msgbox::close_box() {
    Timer1_->stop();
    djs_ = 0;
    Ldjs_->hide();
    bz_ = 0;
    hide();
    Timer2_->stop();
}

} // namespace keeprun
