#pragma once
// A help picture ("SM1" or "SM2"), shown by its own timer soon after it is made.
#include <QTimer>
#include <QWidget>

namespace keeprun {

class Fpic : public QWidget {
  public:
    // Tag "1" shows "SM1", "2" shows "SM2". The form deletes itself when closed,
    // so the next help click makes a new one.
    Fpic(QWidget* main_window, QString tag);
    QString Tag;
    QTimer Timer1;

  private:
    void first_tick();
    QWidget* main_window_;
};

} // namespace keeprun
