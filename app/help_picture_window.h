#pragma once
// A help picture ("SM1" or "SM2"), shown by its own timer soon after it is made.
#include <QTimer>
#include <QWidget>

namespace keeprun {

class HelpPictureWindow : public QWidget {
  public:
    // picture "1" shows "SM1", "2" shows "SM2". The form deletes itself when closed,
    // so the next help click makes a new one.
    HelpPictureWindow(QWidget* main_window, QString picture);
    QString picture;
    QTimer show_timer;

  protected:
    // Escape closes the picture.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void first_tick();
    QWidget* main_window_;
};

} // namespace keeprun
