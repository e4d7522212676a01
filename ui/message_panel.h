#pragma once
// The program's own message box: a control on its window, not a window of its
// own. show_message returns at once; while a message is open open_state is 1, and the
// slots do no work.
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace keeprun {

class PictureBox;

class MessagePanel : public QWidget {
    Q_OBJECT
  public:
    explicit MessagePanel(QWidget* parent);

    // Shows the request: a spec line "[*]title[*]button[*]auto[*]seconds[*][*][*]",
    // then CR LF and the body lines. A spec line of fewer than five fields is
    // refused (false) and changes nothing.
    bool show_message(const QString& text);
    int open_state() const { return open_state_; }
    int seconds_left() const { return seconds_left_; }

    // The two timers' handlers, reachable so that a test can step them.
    void countdown_tick();
    void flash_tick();

  signals:
    // A message opened (true) or closed (false).
    void open_changed(bool open);

  protected:
    // Enter presses the confirm button (which takes Space itself), Escape closes the box.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void close_box();
    void set_countdown_label();

    int seconds_left_ = 0;
    int open_state_ = 0;
    int label_right_ = 0;
    // Where the keyboard was before the box took it; it goes back there on closing.
    QPointer<QWidget> focus_before_;
    QWidget* frame_;
    QWidget* body_;
    PictureBox* text_box_;
    QPushButton* confirm_button_;
    QLabel* countdown_label_;
    QTimer* countdown_timer_;
    QTimer* flash_timer_;
};

} // namespace keeprun
