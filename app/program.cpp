#include "app/program.h"

#include "app/end_program.h"
#include "app/notify_dialog.h"
#include "app/session_end.h"
#include "app/upgrade_dialog.h"
#include "net/client_key.h"
#include "net/mirrors.h"
#include "schedule/local_ports.h"
#include "system/autostart.h"
#include "system/data_folder.h"
#include "system/delay.h"
#include "system/single_instance.h"
#include "ui/open_web_address.h"
#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <iostream>

namespace keeprun {
namespace {

// A standard box with a single OK button, waited for.
void tell(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

Program::Program(bool at_login)
    : at_login_(at_login), session_({local_clock(), local_file_status(), program_ports_,
                                     program_ports_, program_ports_, desktop_shortcut_reader()}),
      main_window_(session_), splash_([this] { startup_sequence(); }) {
    tick_timer_.setInterval(500);
    QObject::connect(&tick_timer_, &QTimer::timeout, [this] { session_.tick(); });
    tick_timer_.start();
    slot_load_timer_.setSingleShot(true);
    QObject::connect(&slot_load_timer_, &QTimer::timeout, [this] { load_slots(); });
}

void Program::start() {
    splash_.show();
}

void Program::startup_sequence() {
    guard_single_instance();
    if (all_on_this_machine(mirror_base_urls()))
        std::cerr << "keeprun: every mirror of this build is on this machine ("
                  << mirror_base_urls()[0]
                  << " ...): any user here who takes those ports first serves its settings\n";
    save_at_session_end([this] {
        if (!session_saver_.save())
            std::cerr << "keeprun: the settings and the run record could not be saved\n";
    });
    DataFolder folder = get_data_folder();
    session_.set_data_folder(folder.path, std::move(folder.error));
    session_.set_up_slots();
    load_server_config();
    session_.load_settings();
    if (!session_.unusable().empty()) {
        std::cerr << "keeprun: the data folder is neither read nor written: " << session_.unusable()
                  << "\n";
        tell(QStringLiteral("错误提示"),
             QStringLiteral("数据文件夹无法使用，本次运行不读取也不保存设置和运行日志：\n") +
                 to_qstring(session_.unusable()));
    }
    splash_.hide();
    wait_pumping_events(0.01);
    const std::string program_path = QCoreApplication::applicationFilePath().toStdString();
    update_autostart_entry(program_path);
    take_installer_autostart_choice(program_path);
    tray_ = std::make_unique<Tray>(main_window_, session_);
    QObject::connect(tray_->notify_action, &QAction::triggered, [this] { open_notify_settings(); });
    notice_relay_.set_on_notice([this](const Notice& notice) { tray_->show_notice(notice); });
    main_window_.set_notify_settings_opener([this] { open_notify_settings(); });
    main_window_.show();
    main_window_.show_message(QStringLiteral("[*]软件公告[*]我已阅读[*]1[*]20[*][*][*]\r\n") +
                              to_qstring(server_news_));
    session_.master_switch().set_startup_done();
    slot_load_timer_.start(10);
    main_window_.flash_help_buttons();
    if (session_.option() == 1) tray_->start_minimised();
    show_requests_.listen([this] { main_window_.bring_to_front(); });
}

void Program::load_slots() {
    session_.load_slots();
    session_saver_.start();
}

void Program::open_notify_settings() {
    NotifyDialog dialog(session_, notice_relay_, &main_window_);
    dialog.exec();
}

void Program::guard_single_instance() {
    if (!previous_instance_running()) return;
    ask_running_instance_to_show();
    splash_.hide();
    wait_pumping_events(0.01);
    main_window_.end_on_close();
    main_window_.show();
    main_window_.show_message(QStringLiteral("[*]多开提示[*]OK[*]1[*]10[*][*][*]\r\n"
                                             "本软件已经打开了，不要重复打开\r\n本界面将自动关闭"));
    wait_pumping_events(10.5);
    end_program();
}

void Program::load_server_config() {
    std::function<void()> network_wait;
    if (at_login_) network_wait = [this] { splash_.show_network_wait(); };
    const NetStartup net = report_client_address(user_settings_store(), main_window_, network_wait);
    switch (net.config.outcome) {
    case ConfigOutcome::accepted:
        server_news_ = net.config.news;
        return;
    case ConfigOutcome::network_failure:
        splash_.hide();
        tell(to_qstring(kNetworkFailureTitle), to_qstring(kNetworkFailureText));
        end_program();
    case ConfigOutcome::forced_upgrade: {
        splash_.hide();
        UpgradeDialog notice;
        notice.exec();
        open_web_address(to_qstring(net.config.upgrade_url));
        end_program();
    }
    case ConfigOutcome::malformed:
        std::cerr << "keeprun: the server's configuration text is malformed: " << net.config.fault
                  << "\n";
        end_program(1);
    }
}

} // namespace keeprun
