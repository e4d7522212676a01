#pragma once
// The splash shown while keeprun starts; its timer runs the start-up once.
#include <QTimer>
#include <QWidget>
#include <functional>

namespace keeprun {

class SplashWindow : public QWidget {
  public:
    explicit SplashWindow(std::function<void()> startup);
    QTimer startup_timer;

  protected:
    // A close request to the splash ends the whole program.
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> startup_;
};

} // namespace keeprun
