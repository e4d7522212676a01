#pragma once
// The splash shown while keeprun starts; its timer runs the start-up once.
#include <QTimer>
#include <QWidget>
#include <functional>

namespace keeprun {

class Fload : public QWidget {
  public:
    explicit Fload(std::function<void()> startup);
    QTimer Timer1;

  protected:
    // A close request to the splash ends the whole program.
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> startup_;
};

} // namespace keeprun
