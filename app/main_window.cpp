#include "app/main_window.h"

#include "app/end_program.h"
#include "app/help_picture_window.h"
#include "app/mouse_readout.h"
#include "app/tab_order.h"
#include "app/window_title.h"
#include "system/delay.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/open_web_address.h"
#include "ui/plain_text.h"
#include "ui/qt_text.h"
#include "ui/units.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>

namespace keeprun {
namespace {

constexpr std::int32_t kLinkBlue = 0xFF0000;

// Tests and tools find the controls by these names.
QString numbered(const char* name, std::size_t i) {
    return QString::fromLatin1(name) + QString::number(i + 1);
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

MainWindow::MainWindow(Session& session)
    : session_(session), cursor_timer_(this), hotkey_timer_(this), hover_timer_(this) {
    // A design-time caption; the server's "[caption]" replaces it at every start.
    setWindowTitle(QStringLiteral("keeprun 程序守护"));
    setFixedSize(tw(15660), tw(8325));
    set_back_color(this, kPanelGrey);

    // Under the top panels: only there to take the focus away from a clicked button.
    auto* focus_sink_panel = new QWidget(this);
    focus_sink_panel->setGeometry(tw_rect(0, 0, 885, 345));
    focus_sink_ = new QPushButton(focus_sink_panel);
    focus_sink_->setGeometry(0, 0, tw(885), tw(345));
    // Hidden: takes the focus when asked, but is no Tab stop.
    focus_sink_->setFocusPolicy(Qt::ClickFocus);

    const QRect panel_boxes[7] = {tw_rect(0, 0, 3615, 510),       tw_rect(3630, 0, 9585, 510),
                                  tw_rect(13230, 0, 2415, 510),   tw_rect(0, 540, 12135, 3615),
                                  tw_rect(0, 4330, 12135, 3615),  tw_rect(0, 7980, 15645, 345),
                                  tw_rect(12150, 540, 3495, 7410)};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QWidget(this);
        panels_[i]->setObjectName(numbered("panel", i));
        panels_[i]->setGeometry(panel_boxes[i]);
        set_back_color(panels_[i], kPanelGrey);
    }
    build_top_panels();
    build_slot_panels();
    build_bottom_panels();

    message_panel_ = new MessagePanel(this);
    message_panel_->setObjectName(QStringLiteral("message_panel"));
    message_panel_->move(tw(10590), tw(570));
    connect(message_panel_, &MessagePanel::open_changed, this,
            [this](bool open) { session_.set_message_shown(open); });
    set_tab_order();
    start_timers();
    session_.add_listener(*this);
}

MainWindow::~MainWindow() {
    session_.remove_listener(*this);
}

void MainWindow::build_top_panels() {
    label_at(panels_[0], QStringLiteral("当前鼠标坐标位置:"), tw_rect(60, 15, 1500, 240));
    cursor_readout_ = label_at(panels_[0], QStringLiteral("0*0"), tw_rect(1560, 15, 1995, 240));
    cursor_readout_->setObjectName(QStringLiteral("cursor_readout"));
    set_bold(cursor_readout_);
    set_fore_color(cursor_readout_, kRed);
    label_at(panels_[0], QStringLiteral("同时按键盘Ctrl+ 8 复制当前鼠标坐标位置"),
             tw_rect(60, 255, 3555, 240));

    for (std::size_t i = 0; i < vendor_buttons_.size(); ++i) {
        vendor_buttons_[i] = new QPushButton(QStringLiteral("欢迎使用"), panels_[1]);
        vendor_buttons_[i]->setObjectName(numbered("vendor_button", i));
        vendor_buttons_[i]->setGeometry(tw_rect(90 + static_cast<int>(i) * 1900, 60, 1800, 390));
        connect(vendor_buttons_[i], &QPushButton::clicked, this, [this, i] {
            open_web_address(vendor_button_addresses_[i]);
            focus_sink_->setFocus();
        });
    }

    start_minimised_box_ = new QCheckBox(QStringLiteral("打开本软件时最小化."), panels_[2]);
    start_minimised_box_->setObjectName(QStringLiteral("start_minimised_box"));
    start_minimised_box_->setGeometry(tw_rect(60, 15, 2340, 240));
    // The stored option counts 0 unticked, 1 ticked, 2 greyed; Qt numbers ticked 2 and greyed 1.
    connect(start_minimised_box_, &QCheckBox::stateChanged, this, [this](int state) {
        if (showing_option_) return;
        session_.set_option(state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0);
    });
    for (std::size_t i = 0; i < links_.size(); ++i) {
        links_[i] = new QLabel(panels_[i == 2 ? 2 : 5]);
        links_[i]->setObjectName(numbered("link", i));
        set_fore_color(links_[i], kLinkBlue);
        links_[i]->setCursor(Qt::PointingHandCursor);
        links_[i]->setMouseTracking(true);
        links_[i]->installEventFilter(this);
    }
    links_[2]->setText(QStringLiteral("开机自启，设置方法"));
    links_[2]->setGeometry(tw_rect(60, 255, 2340, 240));
}

void MainWindow::build_slot_panels() {
    label_at(panels_[3], QStringLiteral("以下程序，如掉线、关闭、退出、崩溃时 自动重新打开"),
             tw_rect(60, 60, 5200, 285));
    label_at(panels_[4], QStringLiteral("定时重启、打开、退出 以下程序："),
             tw_rect(60, 60, 3000, 285));
    label_at(panels_[4],
             QStringLiteral("定时重启电脑.详见说明") + QString(18, ' ') +
                 QStringLiteral("重启、打开程序时间"),
             tw_rect(4650, 60, 5300, 285));
    label_at(panels_[4], QStringLiteral("关闭、退出时间"), tw_rect(10440, 60, 1600, 285));
    set_bold(panels_[3]->findChild<QLabel*>());
    set_bold(panels_[4]->findChild<QLabel*>());

    const int help_left[2] = {5400, 3150};
    for (std::size_t i = 0; i < help_buttons_.size(); ++i) {
        help_buttons_[i] = new QPushButton(QStringLiteral("说明"), panels_[3 + i]);
        help_buttons_[i]->setObjectName(numbered("help_button", i));
        help_buttons_[i]->setGeometry(tw_rect(help_left[i], 30, 900, 315));
        set_back_color(help_buttons_[i], kPanelGrey);
        help_buttons_[i]->setMouseTracking(true);
        help_buttons_[i]->installEventFilter(this);
        connect(help_buttons_[i], &QPushButton::clicked, this, [this, i] {
            help_buttons_[i]->setEnabled(false);
            focus_sink_->setFocus();
            show_help_picture(static_cast<int>(i));
            help_buttons_[i]->setEnabled(true);
        });
    }
    for (int n = 1; n <= 8; ++n) {
        SlotPanel* panel = new SlotPanel(session_.slot(n), panels_[n <= 4 ? 3 : 4]);
        panel->setObjectName(numbered("slot", index(n)));
        panel->move(tw(30), tw(375 + ((n - 1) % 4) * 810));
        slot_panels_[index(n)] = panel;
    }
}

void MainWindow::build_bottom_panels() {
    links_[0]->setText(QStringLiteral("联系客服"));
    links_[0]->setGeometry(tw_rect(60, 45, 7000, 255));
    links_[1]->setText(QStringLiteral("欢迎使用"));
    links_[1]->setGeometry(tw_rect(7800, 45, 7700, 255));

    label_at(panels_[6], QStringLiteral("运行日志:"), tw_rect(60, 60, 3000, 285));
    record_list_ = new QListWidget(panels_[6]);
    record_list_->setObjectName(QStringLiteral("record_list"));
    record_list_->setGeometry(tw_rect(60, 375, 3375, 6975));
    record_list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(record_list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(record_list_);
        menu.addAction(QStringLiteral("通知设置"), this, [this] {
            if (open_notify_settings_) open_notify_settings_();
        });
        menu.exec(record_list_->viewport()->mapToGlobal(at));
    });
}

// Each slot's row left to right, slots 1 to 4 after the first help button and
// 5 to 8 after the second, then the buttons along the top.
void MainWindow::set_tab_order() {
    std::vector<QWidget*> chain{help_buttons_[0]};
    for (int n = 1; n <= 8; ++n) {
        if (n == 5) chain.push_back(help_buttons_[1]);
        add_tab_stops(chain, *slot_panels_[index(n)]);
    }
    chain.push_back(focus_sink_);
    chain.insert(chain.end(), vendor_buttons_.begin(), vendor_buttons_.end());
    chain.push_back(start_minimised_box_);
    chain.push_back(message_panel_->findChild<QPushButton*>(QStringLiteral("confirm_button")));
    chain.push_back(record_list_);
    chain_tab_order(chain);
}

void MainWindow::start_timers() {
    follow_visibility(*this);
    watch_copy_hotkey(*this);
    hover_timer_.setSingleShot(true);
    connect(&hover_timer_, &QTimer::timeout, this, &MainWindow::hover_reset);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool hover = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    for (QPushButton* help : help_buttons_) {
        if (watched == help && hover) {
            set_back_color(help, kRed);
            hover_timer_.start(500);
        }
    }
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (watched != links_[i]) continue;
        if (hover) {
            set_underline(links_[i], true);
            set_fore_color(links_[i], kRed);
            hover_timer_.start(500);
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            open_web_address(link_addresses_[i]);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::hover_reset() {
    for (QLabel* link : links_) {
        set_fore_color(link, kLinkBlue);
        set_underline(link, false);
    }
    for (QPushButton* help : help_buttons_)
        set_back_color(help, kPanelGrey);
}

void MainWindow::flash_help_buttons() {
    for (int i = 1; i <= 21; ++i) {
        wait_pumping_events(0.2);
        for (QPushButton* help : help_buttons_)
            set_back_color(help, i % 2 ? kPanelGrey : kRed);
    }
    for (QPushButton* help : help_buttons_)
        set_back_color(help, kPanelGrey);
}

void MainWindow::show_help_picture(int index) {
    const QString tag = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (help_picture_) {
        help_picture_->picture = tag;
        return;
    }
    help_picture_ = new HelpPictureWindow(this, tag);
}

void MainWindow::show_message(const QString& text) {
    message_panel_->show_message(text);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ends_on_close_) end_program();
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
    open_web_address(exit_link_);
    if (!session_.save()) {
        QMessageBox failed(QMessageBox::Warning, QStringLiteral("错误提示"),
                           QStringLiteral("设置和运行日志未能保存到") +
                               to_qstring(session_.data_folder()) +
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

void MainWindow::set_caption(const std::string& caption) {
    set_window_title(this, to_qstring(caption));
}

void MainWindow::set_exit_link(const std::string& address) {
    exit_link_ = to_qstring(address);
}

void MainWindow::set_link(int index, const std::string& caption, const std::string& address) {
    const auto i = static_cast<std::size_t>(index - 1);
    set_plain_text(links_.at(i), to_qstring(caption));
    link_addresses_.at(i) = to_qstring(address);
}

void MainWindow::set_custom_button(int index, const std::string& caption,
                                   const std::string& address) {
    const auto i = static_cast<std::size_t>(index - 1);
    set_plain_text(vendor_buttons_.at(i), to_qstring(caption));
    vendor_button_addresses_.at(i) = to_qstring(address);
}

void MainWindow::set_background(const std::string& colour_text) {
    apply_colour_scheme(colour_text, *this);
}

void MainWindow::set_program_aliases(const ExeAliasTable& aliases) {
    session_.set_program_aliases(aliases);
}

void MainWindow::set_window_back(std::int32_t colour) {
    set_back_color(this, colour);
}

void MainWindow::set_start_minimised_back(std::int32_t colour) {
    set_back_color(start_minimised_box_, colour);
}

void MainWindow::set_panel_back(int index, std::int32_t colour) {
    set_back_color(panels_.at(static_cast<std::size_t>(index)), colour);
}

void MainWindow::slot_changed(int slot_number) {
    slot_panels_.at(index(slot_number))->show_slot();
}

void MainWindow::record_line_added(const std::string& line) {
    list_append(record_list_, to_qstring(line), static_cast<int>(Session::kRecordLines));
}

void MainWindow::option_changed(int value) {
    showing_option_ = true;
    start_minimised_box_->setTristate(value == 2);
    start_minimised_box_->setCheckState(value == 1   ? Qt::Checked
                                        : value == 2 ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
    showing_option_ = false;
}

} // namespace keeprun
