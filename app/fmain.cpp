#include "app/fmain.h"

#include "app/end_program.h"
#include "app/fpic.h"
#include "app/mouse_readout.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/op_url.h"
#include "ui/units.h"

#include <QCloseEvent>
#include <QMessageBox>

namespace keeprun {
namespace {

constexpr std::int32_t kGrey = 0xE0E0E0;
constexpr std::int32_t kRed = 255;
constexpr std::int32_t kLinkBlue = 0xFF0000;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QLabel* label_at(QWidget* parent, const QString& text, QRect box) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(box);
    return l;
}

void set_bold(QWidget* w, int point_size = 0) {
    QFont f = w->font();
    f.setBold(true);
    if (point_size) f.setPointSize(point_size);
    w->setFont(f);
}

void set_underline(QLabel* label, bool on) {
    QFont f = label->font();
    f.setUnderline(on);
    label->setFont(f);
}

} // namespace

Fmain::Fmain(MasterSwitch& engine)
    : Timer_kongzhi(this), Timer_zuobiao(this), Timer_Ctrl8(this), Timer_hy(this),
      Timer_loadurl(this), engine_(engine) {
    // A design-time caption; the server's "[biaoti]" replaces it at every start.
    setWindowTitle(QStringLiteral("keeprun 程序守护"));
    setFixedSize(tw(15660), tw(8325));
    set_back_color(this, kGrey);

    // Under the top panels: only there to take the focus away from a clicked button.
    auto* Picbb6 = new QWidget(this);
    Picbb6->setGeometry(tw_rect(0, 0, 885, 345));
    Cf = new QPushButton(Picbb6);
    Cf->setGeometry(0, 0, tw(885), tw(345));

    const QRect panel_boxes[7] = {tw_rect(0, 0, 3615, 510),       tw_rect(3630, 0, 9585, 510),
                                  tw_rect(13230, 0, 2415, 510),   tw_rect(0, 540, 12135, 3615),
                                  tw_rect(0, 4330, 12135, 3615),  tw_rect(0, 7980, 15645, 345),
                                  tw_rect(12150, 540, 3495, 7410)};
    for (int i = 0; i < 7; ++i) {
        Picdi[i] = new QWidget(this);
        Picdi[i]->setGeometry(panel_boxes[i]);
        set_back_color(Picdi[i], kGrey);
    }
    build_top_panels();
    build_slot_panels();
    build_bottom_panels();

    msgbox = new ucf_msgbox(this);
    msgbox->move(tw(10590), tw(570));
    start_timers();
}

void Fmain::build_top_panels() {
    label_at(Picdi[0], QStringLiteral("当前鼠标坐标位置:"), tw_rect(60, 15, 1500, 240));
    L_show = label_at(Picdi[0], QStringLiteral("0*0"), tw_rect(1560, 15, 1995, 240));
    set_bold(L_show);
    set_fore_color(L_show, kRed);
    label_at(Picdi[0], QStringLiteral("同时按键盘Ctrl+ 8 复制当前鼠标坐标位置"),
             tw_rect(60, 255, 3555, 240));

    for (int i = 1; i <= 5; ++i) {
        C_zdy[i] = new QPushButton(QStringLiteral("欢迎使用"), Picdi[1]);
        C_zdy[i]->setGeometry(tw_rect(90 + (i - 1) * 1900, 60, 1800, 390));
        connect(C_zdy[i], &QPushButton::clicked, this, [this, i] {
            op_url(C_zdy_Tag[i]);
            Cf->setFocus();
        });
    }

    Check_sx = new QCheckBox(QStringLiteral("打开本软件时最小化."), Picdi[2]);
    Check_sx->setGeometry(tw_rect(60, 15, 2340, 240));
    for (int i = 1; i <= 3; ++i) {
        Lkf[i] = new QLabel(Picdi[i == 3 ? 2 : 5]);
        set_fore_color(Lkf[i], kLinkBlue);
        Lkf[i]->setCursor(Qt::PointingHandCursor);
        Lkf[i]->setMouseTracking(true);
        Lkf[i]->installEventFilter(this);
    }
    Lkf[3]->setText(QStringLiteral("开机自启，设置方法"));
    Lkf[3]->setGeometry(tw_rect(60, 255, 2340, 240));
}

void Fmain::build_slot_panels() {
    label_at(Picdi[3], QStringLiteral("以下程序，如掉线、关闭、退出、崩溃时 自动重新打开"),
             tw_rect(60, 60, 5200, 285));
    label_at(Picdi[4], QStringLiteral("定时重启、打开、退出 以下程序："),
             tw_rect(60, 60, 3000, 285));
    label_at(Picdi[4],
             QStringLiteral("定时重启电脑.详见说明") + QString(18, ' ') +
                 QStringLiteral("重启、打开程序时间"),
             tw_rect(4650, 60, 5300, 285));
    label_at(Picdi[4], QStringLiteral("关闭、退出时间"), tw_rect(10440, 60, 1600, 285));
    set_bold(Picdi[3]->findChild<QLabel*>());
    set_bold(Picdi[4]->findChild<QLabel*>());

    const int help_left[2] = {5400, 3150};
    for (int i = 0; i < 2; ++i) {
        C_gn[i] = new QPushButton(QStringLiteral("说明"), Picdi[3 + i]);
        C_gn[i]->setGeometry(tw_rect(help_left[i], 30, 900, 315));
        set_back_color(C_gn[i], kGrey);
        C_gn[i]->setMouseTracking(true);
        C_gn[i]->installEventFilter(this);
        connect(C_gn[i], &QPushButton::clicked, this, [this, i] {
            C_gn[i]->setEnabled(false);
            Cf->setFocus();
            show_help_picture(i);
            C_gn[i]->setEnabled(true);
        });
    }
    for (int k = 1; k <= 4; ++k) {
        const QPoint at(tw(30), tw(375 + (k - 1) * 810));
        fa1_[k - 1] = new SlotPanel(engine_.first(k), Picdi[3]);
        fa1_[k - 1]->move(at);
        fa2_[k - 1] = new SlotPanel(engine_.second(k), Picdi[4]);
        fa2_[k - 1]->move(at);
    }
}

void Fmain::build_bottom_panels() {
    Lkf[1]->setText(QStringLiteral("联系客服"));
    Lkf[1]->setGeometry(tw_rect(60, 45, 7000, 255));
    Lkf[2]->setText(QStringLiteral("欢迎使用"));
    Lkf[2]->setGeometry(tw_rect(7800, 45, 7700, 255));

    label_at(Picdi[6], QStringLiteral("运行日志:"), tw_rect(60, 60, 3000, 285));
    Listjl = new QListWidget(Picdi[6]);
    Listjl->setGeometry(tw_rect(60, 375, 3375, 6975));
}

void Fmain::start_timers() {
    Timer_kongzhi.setObjectName(QStringLiteral("所有事件总控"));
    Timer_kongzhi.setInterval(500);
    connect(&Timer_kongzhi, &QTimer::timeout, this, [this] { engine_.master_tick(); });
    Timer_zuobiao.setInterval(500);
    connect(&Timer_zuobiao, &QTimer::timeout, this, [this] { show_cursor_pos(*this); });
    follow_visibility(*this);
    watch_copy_hotkey(*this);
    Timer_hy.setSingleShot(true);
    connect(&Timer_hy, &QTimer::timeout, this, &Fmain::hover_reset);
    Timer_loadurl.setSingleShot(true);
    connect(&Timer_loadurl, &QTimer::timeout, this, &Fmain::load_slots_once);
    Timer_kongzhi.start();
}

bool Fmain::eventFilter(QObject* watched, QEvent* event) {
    const bool hover = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    for (int i = 0; i < 2; ++i) {
        if (watched == C_gn[i] && hover) {
            set_back_color(C_gn[i], kRed);
            Timer_hy.start(500);
        }
    }
    for (int i = 1; i <= 3; ++i) {
        if (watched != Lkf[i]) continue;
        if (hover) {
            set_underline(Lkf[i], true);
            set_fore_color(Lkf[i], kRed);
            Timer_hy.start(500);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            op_url(Lkf_Tag[i]);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Fmain::hover_reset() {
    for (int i = 1; i <= 3; ++i) {
        set_fore_color(Lkf[i], kLinkBlue);
        set_underline(Lkf[i], false);
    }
    for (QPushButton* help : C_gn)
        set_back_color(help, kGrey);
}

void Fmain::load_slots_once() {
    if (!Timer_loadurl_Tag.isEmpty()) return;
    Timer_loadurl_Tag = QStringLiteral("ok");
    load_slots(data_folder_, *this);
}

void Fmain::show_help_picture(int index) {
    const QString tag = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (Fpic_) {
        Fpic_->Tag = tag;
        return;
    }
    Fpic_ = new Fpic(this, tag);
}

void Fmain::closeEvent(QCloseEvent* event) {
    QMessageBox ask(QMessageBox::Question, QStringLiteral("关闭确认"),
                    QStringLiteral("是否要关闭软件？"), QMessageBox::Yes | QMessageBox::No, this);
    ask.setDefaultButton(QMessageBox::Yes);
    if (ask.exec() != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    op_url(Tag);
    if (!save_settings(data_folder_, *this)) {
        QMessageBox::warning(this, QStringLiteral("错误提示"),
                             QStringLiteral("设置和运行日志未能保存到") + q(data_folder_) +
                                 QStringLiteral("，上次保存的文件保持不变。"));
    }
    end_program();
}

Slot& Fmain::engine_slot(int kind, int n) const {
    return kind == 1 ? static_cast<Slot&>(engine_.first(n)) : engine_.second(n);
}

void Fmain::set_caption(const std::string& biaoti) {
    setWindowTitle(q(biaoti));
}
void Fmain::set_exit_link(const std::string& tuichu) {
    Tag = q(tuichu);
}

void Fmain::set_link(int index, const std::string& caption, const std::string& address) {
    Lkf[index]->setText(q(caption));
    Lkf_Tag[index] = q(address);
}

void Fmain::set_custom_button(int index, const std::string& caption, const std::string& address) {
    C_zdy[index]->setText(q(caption));
    C_zdy_Tag[index] = q(address);
}

void Fmain::set_background(const std::string& colour_text) {
    d_底色更改(colour_text, *this);
}

void Fmain::set_exe_alias_table(const ExeAliasTable& table) {
    exe_alias_table_ = table;
}

void Fmain::set_form_back(std::int32_t ys) {
    set_back_color(this, ys);
}
void Fmain::set_check_sx_back(std::int32_t ys) {
    set_back_color(Check_sx, ys);
}
void Fmain::set_picdi_back(int index, std::int32_t ys) {
    set_back_color(Picdi[index], ys);
}

// The stored option counts 0 unticked, 1 ticked, 2 greyed; Qt numbers ticked 2 and greyed 1.
int Fmain::option() const {
    switch (Check_sx->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void Fmain::set_option(int value) {
    Check_sx->setTristate(value == 2);
    Check_sx->setCheckState(value == 1   ? Qt::Checked
                            : value == 2 ? Qt::PartiallyChecked
                                         : Qt::Unchecked);
}

std::string Fmain::slot_canshu(int kind, int n) const {
    return engine_slot(kind, n).a_get_canshu();
}

void Fmain::set_slot_canshu(int kind, int n, const std::string& canshu) {
    engine_slot(kind, n).a_set_canshu(canshu);
}

std::vector<std::string> Fmain::record_lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < Listjl->count(); ++i)
        lines.push_back(Listjl->item(i)->text().toStdString());
    return lines;
}

void Fmain::add_record_line(const std::string& line) {
    list_add_news(Listjl, q(line), 1000);
}

} // namespace keeprun
