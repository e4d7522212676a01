#include "app/mouse_readout.h"

#include "app/fmain.h"
#include "app/ftishi.h"
#include "system/copy_hotkey.h"
#include "system/delay.h"
#include "system/mouse.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QMessageBox>
#include <QSocketNotifier>

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

void copy_readout(Fmain& window) {
    // The pause starts first: the copy runs messages, and with them more key news.
    window.Timer_Ctrl8.start();
    data_cpno(window, window.L_show->text());
}

// The readout asks the display for the cursor only while someone can see it.
class ReadoutVisibility : public QObject {
  public:
    explicit ReadoutVisibility(Fmain& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (watched == &window_ &&
            (t == QEvent::Show || t == QEvent::Hide || t == QEvent::WindowStateChange))
            update();
        return false;
    }

    void update() {
        QTimer& timer = window_.Timer_zuobiao;
        if (!window_.isVisible() || window_.isMinimized()) {
            timer.stop();
        } else if (!timer.isActive()) {
            show_cursor_pos(window_);
            timer.start();
        }
    }

  private:
    Fmain& window_;
};

} // namespace

void show_cursor_pos(Fmain& window) {
    if (const auto at = cursor_pos())
        window.L_show->setText(QString::fromStdString(coordinate_text(*at)));
}

void follow_visibility(Fmain& window) {
    auto* visibility = new ReadoutVisibility(window);
    window.installEventFilter(visibility);
    visibility->update();
}

void watch_copy_hotkey(Fmain& window) {
    window.Timer_Ctrl8.setSingleShot(true);
    window.Timer_Ctrl8.setInterval(2000);
    QObject::connect(&window.Timer_Ctrl8, &QTimer::timeout, &window, [&window] {
        copy_hotkey_pressed(); // presses within the pause are over
        if (copy_hotkey_down()) copy_readout(window);
    });
    const int descriptor = copy_hotkey_descriptor();
    if (descriptor < 0) return;
    auto* news = new QSocketNotifier(descriptor, QSocketNotifier::Read, &window);
    QObject::connect(news, &QSocketNotifier::activated, &window, [&window] {
        if (copy_hotkey_pressed() && !window.Timer_Ctrl8.isActive()) copy_readout(window);
    });
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
