#include "app/mouse_readout.h"

#include "app/copied_notice.h"
#include "app/main_window.h"
#include "system/copy_hotkey.h"
#include "system/delay.h"
#include "system/mouse.h"
#include "system/pointer_motion.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QMessageBox>
#include <QSocketNotifier>

namespace keeprun {
namespace {

constexpr int kTries = 100;

// Any of the 100 tries succeeding is a success; a failure is told in a
// standard box over `owner`.
bool copied(QWidget* owner, const QString& text) {
    for (int i = 0; i < kTries; ++i)
        if (copy_text(text) == QStringLiteral("ok")) return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("错误提示"),
                    QStringLiteral("本次复制出现错误，请再次复制！"), QMessageBox::Ok, owner);
    box.exec();
    return false;
}

// Says "复制成功！" without taking the focus from the program in front.
void tell_copied_aside() {
    auto* notice = new CopiedNotice(nullptr);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    notice->setWindowFlags(notice->windowFlags() | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus);
    QObject::connect(notice, &QDialog::finished, notice, &QObject::deleteLater);
    notice->show();
}

void copy_readout(MainWindow& window) {
    // The pause starts first: the copy runs messages, and with them more key news.
    window.hotkey_timer().start();
    // Read at the press: a window nobody sees keeps no readout up to date.
    show_cursor_pos(window);
    const QString text = window.cursor_readout()->text();
    if (window.isVisible() && !window.isMinimized())
        copy_position(window, text);
    else if (copied(nullptr, text))
        tell_copied_aside();
}

// A moving pointer is read at most this often: the news is left unread meanwhile.
constexpr int kPauseAfterMove = 150;

// The readout asks the display for the cursor only while someone can see it,
// and, when the display tells of moves, only after one.
class Readout : public QObject {
  public:
    explicit Readout(MainWindow& window) : QObject(&window), window_(window) {
        QTimer& timer = window_.cursor_timer();
        const int descriptor = pointer_motion_descriptor();
        if (descriptor < 0) {
            timer.setInterval(500);
            connect(&timer, &QTimer::timeout, this, [this] { show_cursor_pos(window_); });
            return;
        }
        news_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
        connect(news_, &QSocketNotifier::activated, this, [this] { follow(); });
        timer.setSingleShot(true);
        timer.setInterval(kPauseAfterMove);
        connect(&timer, &QTimer::timeout, this, [this] {
            news_->setEnabled(true);
            follow();
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (watched == &window_ &&
            (t == QEvent::Show || t == QEvent::Hide || t == QEvent::WindowStateChange))
            update();
        return false;
    }

    void update() {
        QTimer& timer = window_.cursor_timer();
        const bool seen = window_.isVisible() && !window_.isMinimized();
        if (news_) {
            // The start of the news counts as a move, and shows the position.
            pointer_motion_listen(seen);
            if (!seen) {
                timer.stop();
                news_->setEnabled(true);
            }
        } else if (!seen) {
            timer.stop();
        } else if (!timer.isActive()) {
            show_cursor_pos(window_);
            timer.start();
        }
    }

  private:
    void follow() {
        if (!pointer_moved()) return;
        show_cursor_pos(window_);
        news_->setEnabled(false);
        window_.cursor_timer().start();
    }

    MainWindow& window_;
    QSocketNotifier* news_ = nullptr;
};

} // namespace

void show_cursor_pos(MainWindow& window) {
    if (const auto at = cursor_pos())
        window.cursor_readout()->setText(QString::fromStdString(coordinate_text(*at)));
}

void follow_visibility(MainWindow& window) {
    auto* readout = new Readout(window);
    window.installEventFilter(readout);
    readout->update();
}

void watch_copy_hotkey(MainWindow& window) {
    window.hotkey_timer().setSingleShot(true);
    window.hotkey_timer().setInterval(2000);
    QObject::connect(&window.hotkey_timer(), &QTimer::timeout, &window, [&window] {
        copy_hotkey_pressed(); // presses within the pause are over
        if (copy_hotkey_down()) copy_readout(window);
    });
    const auto on_news = [&window] {
        if (copy_hotkey_pressed() && !window.hotkey_timer().isActive()) copy_readout(window);
    };
    copy_hotkey_on_news(on_news, [&window](int descriptor, std::function<void()> readable) {
        auto* news = new QSocketNotifier(descriptor, QSocketNotifier::Read, &window);
        QObject::connect(news, &QSocketNotifier::activated, &window, std::move(readable));
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

void copy_position(MainWindow& window, const QString& text) {
    if (!copied(&window, text)) return;
    window.show_message(
        QStringLiteral("[*]复制提示[*]OK[*]1[*]6[*][*][*]\r\n复制坐标成功，请到软件内粘贴"));
}

void copy_with_notice(QWidget* owner, const QString& text) {
    if (!copied(owner, text)) return;
    CopiedNotice notice(owner);
    notice.exec();
}

} // namespace keeprun
