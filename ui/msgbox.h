#pragma once
// The program's own message box: a control on its window, not a window of its
// own. a_show returns at once; while a message is open a_get_bz is 1, and the
// slots do no work.
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace keeprun {

class PicBox;

class ucf_msgbox : public QWidget {
    Q_OBJECT
  public:
    explicit ucf_msgbox(QWidget* parent);

    // Shows the request: a spec line "[*]title[*]button[*]auto[*]seconds[*][*][*]",
    // then CR LF and the body lines. A spec line of fewer than five fields is
    // refused (false) and changes nothing.
    bool a_show(const QString& vstr);
    int a_get_bz() const { return bz_; }
    int djs() const { return djs_; }

    // The two timers' handlers, reachable so that a test can step them.
    void countdown_tick();
    void flash_tick();

  private:
    void close_box();
    void set_countdown_label();

    int djs_ = 0;
    int bz_ = 0;
    int label_right_ = 0;
    QWidget* Picture2_;
    QWidget* Picture1_;
    PicBox* Pick_;
    QPushButton* C_help_;
    QLabel* Ldjs_;
    QTimer* Timer1_;
    QTimer* Timer2_;
};

} // namespace keeprun
