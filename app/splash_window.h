#pragma once
// The splash shown while keeprun starts; its timer runs the start-up once.
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace keeprun {

class SplashWindow : public QWidget {
  public:
    explicit SplashWindow(std::function<void()> startup);
    QTimer startup_timer;
    // Adds the line that says start-up waits for the network.
    void show_network_wait();

  protected:
    // A close request to the splash ends the whole program.
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> startup_;
    // Below the centred text, so that text stays where it was.
    QLabel network_wait_;
};

} // namespace keeprun
