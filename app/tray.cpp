#include "app/tray.h"

#include "app/main_window.h"
#include "system/autostart.h"

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
    menu.addSeparator();
    menu.addAction(QStringLiteral("退出"), &window, &MainWindow::close_confirmed);
    // The entry may have been made or removed by hand since the last look.
    connect(&menu, &QMenu::aboutToShow, this,
            [this] { autostart_action->setChecked(autostart_enabled()); });

    icon.setIcon(QApplication::windowIcon());
    icon.setToolTip(window.windowTitle());
    icon.setContextMenu(&menu);
    connect(&icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            window_.bring_to_front();
    });
    connect(&window, &QWidget::windowTitleChanged, &icon, &QSystemTrayIcon::setToolTip);
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
