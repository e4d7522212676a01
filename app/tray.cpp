#include "app/tray.h"

#include "app/main_window.h"
#include "schedule/local_ports.h"
#include "schedule/notices.h"
#include "system/autostart.h"
#include "system/text.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace keeprun {

Tray::Tray(MainWindow& window, Session& session) : window_(window), session_(session) {
    menu.addAction(QStringLiteral("显示主窗口"), &window, &MainWindow::bring_to_front);
    autostart_action = menu.addAction(QStringLiteral("开机时自动启动"));
    autostart_action->setCheckable(true);
    connect(autostart_action, &QAction::triggered, this, &Tray::set_autostart);
    restart_hung_action = menu.addAction(QStringLiteral("程序未响应时自动重新打开"));
    restart_hung_action->setCheckable(true);
    restart_hung_action->setChecked(session.policy().restart_hung);
    connect(restart_hung_action, &QAction::triggered, this,
            [this](bool on) { session_.set_policy({on}); });
    session.add_listener(*this);
    notify_action = menu.addAction(QStringLiteral("通知设置"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("退出"), &window, &MainWindow::close_confirmed);
    // The entry may have been made or removed by hand since the last look.
    connect(&menu, &QMenu::aboutToShow, this,
            [this] { autostart_action->setChecked(autostart_enabled()); });

    icon.setIcon(QApplication::windowIcon());
    update_tooltip();
    icon.setContextMenu(&menu);
    connect(&icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            window_.bring_to_front();
    });
    connect(&window, &QWidget::windowTitleChanged, this, [this] { update_tooltip(); });
    window.installEventFilter(this);
    // Shown even without a tray: Qt puts it in a tray that starts later (a
    // desktop panel starting after keeprun at login).
    icon.show();
}

Tray::~Tray() {
    session_.remove_listener(*this);
}

void Tray::policy_changed(const SlotPolicy& policy) {
    restart_hung_action->setChecked(policy.restart_hung);
}

void Tray::slot_event(const SlotEvent& event) {
    if (event.kind != SlotEventKind::opened || !event.again || event.slot_number > 4) return;
    ++restarts_[static_cast<std::size_t>(event.slot_number)];
    update_tooltip();
}

void Tray::slot_changed(int slot_number) {
    if (slot_number <= 4) update_tooltip();
}

void Tray::update_tooltip() {
    QString tip = window_.windowTitle();
    for (int n = 1; n <= 4; ++n) {
        const Slot& slot = session_.slot(n);
        if (!slot.refresh_marks().path_is_program) continue;
        tip += QStringLiteral("\n程序%1 (%2)：重新打开%3次")
                   .arg(n)
                   .arg(to_qstring(program_file_name(trim_spaces(slot.path_text()))))
                   .arg(restarts_[static_cast<std::size_t>(n)]);
    }
    icon.setToolTip(tip);
}

void Tray::show_notice(const Notice& notice) {
    if (notice.event == notice_event_name(NoticeEvent::timed)) return;
    const std::int64_t now = local_clock().steady_seconds();
    std::int64_t& last = last_notice_[static_cast<std::size_t>(notice.slot_number)];
    if (last != 0 && now - last < 60) return;
    last = now;
    // The machine's name is for the chat group; here it is this PC.
    const std::size_t cut = notice.text.find("] ");
    const std::string text = cut == std::string::npos ? notice.text : notice.text.substr(cut + 2);
    icon.showMessage(QStringLiteral("程序守护"), to_qstring(text), QSystemTrayIcon::Warning, 10000);
}

bool Tray::in_tray() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::start_minimised() {
    // Hidden straight away: a hide racing the window manager's own minimising
    // could leave the window minimised and out of reach of a later show.
    if (in_tray())
        window_.hide();
    else
        window_.showMinimized();
}

void Tray::set_autostart(bool on) {
    const std::string error =
        keeprun::set_autostart(on, QCoreApplication::applicationFilePath().toStdString());
    if (!error.empty())
        QMessageBox::warning(&window_, QStringLiteral("错误提示"),
                             QStringLiteral("开机时自动启动未能设置：\n") +
                                 QString::fromStdString(error));
    autostart_action->setChecked(autostart_enabled());
}

bool Tray::eventFilter(QObject* watched, QEvent* event) {
    // Hidden once the minimising has finished; the tray icon brings it back.
    if (watched == &window_ && event->type() == QEvent::WindowStateChange &&
        window_.isMinimized() && in_tray())
        QTimer::singleShot(0, &window_, [this] {
            if (window_.isMinimized()) window_.hide();
        });
    return QObject::eventFilter(watched, event);
}

} // namespace keeprun
