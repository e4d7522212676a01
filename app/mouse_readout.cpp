#include "app/mouse_readout.h"

#include "app/fmain.h"
#include "app/ftishi.h"
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

void show_cursor_pos(Fmain& window) {
    if (const auto at = cursor_pos())
        window.L_show->setText(QString::fromStdString(coordinate_text(*at)));
}

void check_copy_hotkey(Fmain& window) {
    window.Timer_Ctrl8.setInterval(100);
    if (!copy_hotkey_down()) return;
    window.Timer_Ctrl8.setInterval(2000);
    data_cpno(window, window.L_show->text());
}

QString copy_text(const QString& text) {
    pump_messages();
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    const bool held = clipboard->ownsClipboard() && clipboard->text() == text;
    return held ? QStringLiteral("ok") : QString();
}

void data_cpno(Fmain& window, const QString& mysj) {
    if (!copy_with_retries(mysj)) {
        copy_failed(&window);
        return;
    }
    window.msgbox->a_show(
        QStringLiteral("[*]复制提示[*]OK[*]1[*]6[*][*][*]\r\n复制坐标成功，请到软件内粘贴"));
}

void data_cp(QWidget* owner, const QString& mysj) {
    if (!copy_with_retries(mysj)) {
        copy_failed(owner);
        return;
    }
    Ftishi notice(owner);
    notice.exec();
}

} // namespace keeprun
