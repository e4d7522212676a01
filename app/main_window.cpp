#include "app/main_window.h"

#include "app/end_program.h"
#include "app/help_picture_window.h"
#include "app/mouse_readout.h"
#include "app/tab_order.h"
#include "app/window_title.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/open_web_address.h"
#include "ui/plain_text.h"
#include "ui/units.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>

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

MainWindow::MainWindow(MasterSwitch& engine)
    : tick_timer(this), cursor_timer(this), hotkey_timer(this), hover_timer(this),
      slot_load_timer(this), engine_(engine) {
    // A design-time caption; the server's "[caption]" replaces it at every start.
    setWindowTitle(QStringLiteral("keeprun 程序守护"));
    setFixedSize(tw(15660), tw(8325));
    set_back_color(this, kGrey);

    // Under the top panels: only there to take the focus away from a clicked button.
    auto* focus_sink_panel = new QWidget(this);
    focus_sink_panel->setGeometry(tw_rect(0, 0, 885, 345));
    focus_sink = new QPushButton(focus_sink_panel);
    focus_sink->setGeometry(0, 0, tw(885), tw(345));
    // Hidden: takes the focus when asked, but is no Tab stop.
    focus_sink->setFocusPolicy(Qt::ClickFocus);

    const QRect panel_boxes[7] = {tw_rect(0, 0, 3615, 510),       tw_rect(3630, 0, 9585, 510),
                                  tw_rect(13230, 0, 2415, 510),   tw_rect(0, 540, 12135, 3615),
                                  tw_rect(0, 4330, 12135, 3615),  tw_rect(0, 7980, 15645, 345),
                                  tw_rect(12150, 540, 3495, 7410)};
    for (int i = 0; i < 7; ++i) {
        panels[i] = new QWidget(this);
        panels[i]->setGeometry(panel_boxes[i]);
        set_back_color(panels[i], kGrey);
    }
    build_top_panels();
    build_slot_panels();
    build_bottom_panels();

    message_panel = new MessagePanel(this);
    message_panel->move(tw(10590), tw(570));
    set_tab_order(*this);
    start_timers();
}

void MainWindow::build_top_panels() {
    label_at(panels[0], QStringLiteral("当前鼠标坐标位置:"), tw_rect(60, 15, 1500, 240));
    cursor_readout = label_at(panels[0], QStringLiteral("0*0"), tw_rect(1560, 15, 1995, 240));
    set_bold(cursor_readout);
    set_fore_color(cursor_readout, kRed);
    label_at(panels[0], QStringLiteral("同时按键盘Ctrl+ 8 复制当前鼠标坐标位置"),
             tw_rect(60, 255, 3555, 240));

    for (int i = 1; i <= 5; ++i) {
        vendor_buttons[i] = new QPushButton(QStringLiteral("欢迎使用"), panels[1]);
        vendor_buttons[i]->setGeometry(tw_rect(90 + (i - 1) * 1900, 60, 1800, 390));
        connect(vendor_buttons[i], &QPushButton::clicked, this, [this, i] {
            open_web_address(vendor_button_addresses[i]);
            focus_sink->setFocus();
        });
    }

    start_minimised_box = new QCheckBox(QStringLiteral("打开本软件时最小化."), panels[2]);
    start_minimised_box->setGeometry(tw_rect(60, 15, 2340, 240));
    for (int i = 1; i <= 3; ++i) {
        links[i] = new QLabel(panels[i == 3 ? 2 : 5]);
        set_fore_color(links[i], kLinkBlue);
        links[i]->setCursor(Qt::PointingHandCursor);
        links[i]->setMouseTracking(true);
        links[i]->installEventFilter(this);
    }
    links[3]->setText(QStringLiteral("开机自启，设置方法"));
    links[3]->setGeometry(tw_rect(60, 255, 2340, 240));
}

void MainWindow::build_slot_panels() {
    label_at(panels[3], QStringLiteral("以下程序，如掉线、关闭、退出、崩溃时 自动重新打开"),
             tw_rect(60, 60, 5200, 285));
    label_at(panels[4], QStringLiteral("定时重启、打开、退出 以下程序："),
             tw_rect(60, 60, 3000, 285));
    label_at(panels[4],
             QStringLiteral("定时重启电脑.详见说明") + QString(18, ' ') +
                 QStringLiteral("重启、打开程序时间"),
             tw_rect(4650, 60, 5300, 285));
    label_at(panels[4], QStringLiteral("关闭、退出时间"), tw_rect(10440, 60, 1600, 285));
    set_bold(panels[3]->findChild<QLabel*>());
    set_bold(panels[4]->findChild<QLabel*>());

    const int help_left[2] = {5400, 3150};
    for (int i = 0; i < 2; ++i) {
        help_buttons[i] = new QPushButton(QStringLiteral("说明"), panels[3 + i]);
        help_buttons[i]->setGeometry(tw_rect(help_left[i], 30, 900, 315));
        set_back_color(help_buttons[i], kGrey);
        help_buttons[i]->setMouseTracking(true);
        help_buttons[i]->installEventFilter(this);
        connect(help_buttons[i], &QPushButton::clicked, this, [this, i] {
            help_buttons[i]->setEnabled(false);
            focus_sink->setFocus();
            show_help_picture(i);
            help_buttons[i]->setEnabled(true);
        });
    }
    for (int k = 1; k <= 4; ++k) {
        const QPoint at(tw(30), tw(375 + (k - 1) * 810));
        keep_alive_panels_[k - 1] = new SlotPanel(engine_.first(k), panels[3]);
        keep_alive_panels_[k - 1]->move(at);
        timed_panels_[k - 1] = new SlotPanel(engine_.second(k), panels[4]);
        timed_panels_[k - 1]->move(at);
    }
}

void MainWindow::build_bottom_panels() {
    links[1]->setText(QStringLiteral("联系客服"));
    links[1]->setGeometry(tw_rect(60, 45, 7000, 255));
    links[2]->setText(QStringLiteral("欢迎使用"));
    links[2]->setGeometry(tw_rect(7800, 45, 7700, 255));

    label_at(panels[6], QStringLiteral("运行日志:"), tw_rect(60, 60, 3000, 285));
    record_list = new QListWidget(panels[6]);
    record_list->setGeometry(tw_rect(60, 375, 3375, 6975));
}

void MainWindow::start_timers() {
    tick_timer.setObjectName(QStringLiteral("tick_timer"));
    tick_timer.setInterval(500);
    connect(&tick_timer, &QTimer::timeout, this, [this] { engine_.master_tick(); });
    follow_visibility(*this);
    watch_copy_hotkey(*this);
    hover_timer.setSingleShot(true);
    connect(&hover_timer, &QTimer::timeout, this, &MainWindow::hover_reset);
    slot_load_timer.setSingleShot(true);
    connect(&slot_load_timer, &QTimer::timeout, this, &MainWindow::load_slots_once);
    tick_timer.start();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool hover = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    for (int i = 0; i < 2; ++i) {
        if (watched == help_buttons[i] && hover) {
            set_back_color(help_buttons[i], kRed);
            hover_timer.start(500);
        }
    }
    for (int i = 1; i <= 3; ++i) {
        if (watched != links[i]) continue;
        if (hover) {
            set_underline(links[i], true);
            set_fore_color(links[i], kRed);
            hover_timer.start(500);
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            open_web_address(link_addresses[i]);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::hover_reset() {
    for (int i = 1; i <= 3; ++i) {
        set_fore_color(links[i], kLinkBlue);
        set_underline(links[i], false);
    }
    for (QPushButton* help : help_buttons)
        set_back_color(help, kGrey);
}

void MainWindow::load_slots_once() {
    if (!slot_load_address.isEmpty()) return;
    slot_load_address = QStringLiteral("ok");
    load_slots(data_folder_, *this);
    session_saver.start(data_folder_);
}

void MainWindow::show_help_picture(int index) {
    const QString tag = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (help_picture_) {
        help_picture_->picture = tag;
        return;
    }
    help_picture_ = new HelpPictureWindow(this, tag);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ends_on_close) end_program();
    QMessageBox ask(QMessageBox::Question, QStringLiteral("关闭确认"),
                    QStringLiteral("是否要关闭软件？"), QMessageBox::Yes | QMessageBox::No, this);
    ask.setDefaultButton(QMessageBox::Yes);
    if (ask.exec() != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    close_confirmed();
}

void MainWindow::close_confirmed() {
    open_web_address(exit_link);
    if (!save_settings(data_folder_, *this)) {
        QMessageBox failed(QMessageBox::Warning, QStringLiteral("错误提示"),
                           QStringLiteral("设置和运行日志未能保存到") + q(data_folder_) +
                               QStringLiteral("，上次保存的文件保持不变。"),
                           QMessageBox::Ok, this);
        failed.setTextFormat(Qt::PlainText);
        failed.exec();
    }
    end_program();
}

void MainWindow::bring_to_front() {
    showNormal();
    raise();
    activateWindow();
}

Slot& MainWindow::engine_slot(int kind, int n) const {
    return kind == 1 ? static_cast<Slot&>(engine_.first(n)) : engine_.second(n);
}

void MainWindow::set_caption(const std::string& caption) {
    set_window_title(this, q(caption));
}
void MainWindow::set_exit_link(const std::string& address) {
    exit_link = q(address);
}

void MainWindow::set_link(int index, const std::string& caption, const std::string& address) {
    set_plain_text(links[index], q(caption));
    link_addresses[index] = q(address);
}

void MainWindow::set_custom_button(int index, const std::string& caption,
                                   const std::string& address) {
    set_plain_text(vendor_buttons[index], q(caption));
    vendor_button_addresses[index] = q(address);
}

void MainWindow::set_background(const std::string& colour_text) {
    apply_colour_scheme(colour_text, *this);
}

void MainWindow::set_exe_alias_table(const ExeAliasTable& table) {
    exe_alias_table_ = table;
}

void MainWindow::set_window_back(std::int32_t colour) {
    set_back_color(this, colour);
}
void MainWindow::set_start_minimised_back(std::int32_t colour) {
    set_back_color(start_minimised_box, colour);
}
void MainWindow::set_panel_back(int index, std::int32_t colour) {
    set_back_color(panels[index], colour);
}

// The stored option counts 0 unticked, 1 ticked, 2 greyed; Qt numbers ticked 2 and greyed 1.
int MainWindow::option() const {
    switch (start_minimised_box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void MainWindow::set_option(int value) {
    start_minimised_box->setTristate(value == 2);
    start_minimised_box->setCheckState(value == 1   ? Qt::Checked
                                       : value == 2 ? Qt::PartiallyChecked
                                                    : Qt::Unchecked);
}

std::string MainWindow::slot_param_string(int kind, int n) const {
    return engine_slot(kind, n).to_param_string();
}

void MainWindow::set_slot_param_string(int kind, int n, const std::string& param_string) {
    engine_slot(kind, n).apply_param_string(param_string);
}

std::vector<std::string> MainWindow::record_lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < record_list->count(); ++i)
        lines.push_back(record_list->item(i)->text().toStdString());
    return lines;
}

void MainWindow::add_record_line(const std::string& line) {
    list_append(record_list, q(line), 1000);
}

} // namespace keeprun
