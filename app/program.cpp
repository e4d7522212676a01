#include "app/program.h"

#include "app/end_program.h"
#include "app/session_end.h"
#include "app/upgrade_dialog.h"
#include "net/client_key.h"
#include "schedule/local_ports.h"
#include "system/data_folder.h"
#include "system/delay.h"
#include "system/single_instance.h"
#include "ui/control_color.h"
#include "ui/open_web_address.h"

#include <QMessageBox>
#include <iostream>

namespace keeprun {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A standard box with a single OK button, waited for.
void tell(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

Program::Program()
    : ports_{local_clock(),  local_file_status(), program_ports_,           program_ports_,
             program_ports_, program_ports_,      desktop_shortcut_reader()},
      engine_(ports_), main_window_(engine_), splash_([this] { startup_sequence(); }) {
    program_ports_.window = &main_window_;
}

void Program::start() {
    splash_.show();
}

void Program::startup_sequence() {
    guard_single_instance();
    save_at_session_end([this] {
        if (!main_window_.session_saver.save())
            std::cerr << "keeprun: the settings and the run record could not be saved\n";
    });
    const DataFolder folder = get_data_folder();
    main_window_.set_data_folder(folder.path);
    if (!folder.error.empty())
        tell(QStringLiteral("错误提示"),
             QStringLiteral("无法建立数据文件夹，设置和运行日志将无法保存：\n") + q(folder.error));
    set_slot_tips();
    load_server_config();
    engine_.master_init();
    load_settings(folder.path, main_window_);
    splash_.hide();
    wait_pumping_events(0.01);
    tray_ = std::make_unique<Tray>(main_window_);
    main_window_.show();
    main_window_.message_panel->show_message(
        QStringLiteral("[*]软件公告[*]我已阅读[*]1[*]20[*][*][*]\r\n") + q(server_news_));
    engine_.set_startup_done();
    main_window_.slot_load_timer.start(10);
    flash_help_buttons();
    if (main_window_.option() == 1) tray_->start_minimised();
    show_requests_.listen([this] { main_window_.bring_to_front(); });
}

void Program::guard_single_instance() {
    if (!previous_instance_running()) return;
    ask_running_instance_to_show();
    splash_.hide();
    wait_pumping_events(0.01);
    main_window_.ends_on_close = true;
    main_window_.show();
    main_window_.message_panel->show_message(
        QStringLiteral("[*]多开提示[*]OK[*]1[*]10[*][*][*]\r\n"
                       "本软件已经打开了，不要重复打开\r\n本界面将自动关闭"));
    wait_pumping_events(10.5);
    end_program();
}

void Program::set_slot_tips() {
    const char* const drag = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框";
    const char* const guard = "建议退出全部杀毒和安全卫士，防止它们【干扰】本软件工作";
    const char* const timed = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框，设置时间后生效";
    const char* const stagger = "如要定时重启或打开【多个】程序，建议错开时间，防止电脑卡顿";
    const char* const first_tips[4] = {drag, guard, guard, drag};
    const char* const second_tips[4] = {timed, stagger, stagger, timed};
    for (int k = 1; k <= 4; ++k)
        engine_.first(k).setup(k, first_tips[k - 1]);
    for (int k = 1; k <= 4; ++k)
        engine_.second(k).setup(k + 4, second_tips[k - 1]);
}

void Program::load_server_config() {
    const NetStartup net = report_client_address(user_settings_store(), main_window_);
    switch (net.config.outcome) {
    case ConfigOutcome::accepted:
        server_news_ = net.config.news;
        return;
    case ConfigOutcome::network_failure:
        splash_.hide();
        tell(q(kNetworkFailureTitle), q(kNetworkFailureText));
        end_program();
    case ConfigOutcome::forced_upgrade: {
        splash_.hide();
        UpgradeDialog notice;
        notice.exec();
        open_web_address(q(net.config.upgrade_url));
        end_program();
    }
    case ConfigOutcome::malformed:
        std::cerr << "keeprun: the server's configuration text is malformed: " << net.config.fault
                  << "\n";
        end_program(1);
    }
}

void Program::flash_help_buttons() {
    for (int i = 1; i <= 21; ++i) {
        wait_pumping_events(0.2);
        for (QPushButton* help : main_window_.help_buttons)
            set_back_color(help, i % 2 ? 0xE0E0E0 : 255);
    }
    for (QPushButton* help : main_window_.help_buttons)
        set_back_color(help, 0xE0E0E0);
}

} // namespace keeprun
