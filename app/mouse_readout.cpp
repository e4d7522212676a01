#include "app/mouse_readout.h"

#include "app/copied_notice.h"
#include "app/main_window.h"
#include "system/delay.h"
#include "system/mouse.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

namespace keeprun {
namespace {

constexpr int kTries = 100;

// Any of the 100 tries succeeding is a success.
bool copy_with_retries(const QString& text) {
    for (int i = 0; i < kTries; ++i)
        if (copy_text(text) == QStringLiteral("ok")) return true;
    return false;
}

void copy_failed(QWidget* owner) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("错误提示"),
                    QStringLiteral("本次复制出现错误，请再次复制！"), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void show_cursor_pos(MainWindow& window) {
    if (const auto at = cursor_pos())
        window.cursor_readout->setText(QString::fromStdString(coordinate_text(*at)));
}

void check_copy_hotkey(MainWindow& window) {
    window.hotkey_timer.setInterval(100);
    if (!copy_hotkey_down()) return;
    window.hotkey_timer.setInterval(2000);
    copy_position(window, window.cursor_readout->text());
}

QString copy_text(const QString& text) {
    pump_messages();
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    const bool held = clipboard->ownsClipboard() && clipboard->text() == text;
    return held ? QStringLiteral("ok") : QString();
}

void copy_position(MainWindow& window, const QString& text) {
    if (!copy_with_retries(text)) {
        copy_failed(&window);
        return;
    }
    window.message_panel->show_message(
        QStringLiteral("[*]复制提示[*]OK[*]1[*]6[*][*][*]\r\n复制坐标成功，请到软件内粘贴"));
}

void copy_with_notice(QWidget* owner, const QString& text) {
    if (!copy_with_retries(text)) {
        copy_failed(owner);
        return;
    }
    CopiedNotice notice(owner);
    notice.exec();
}

} // namespace keeprun
