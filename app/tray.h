#pragma once
// The tray icon, where the desktop has a tray (now or later): its menu shows the
// main window, switches starting at login and ends keeprun; a click shows the
// window, and while there is a tray, minimising hides the window to it.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace keeprun {

class MainWindow;

class Tray : public QObject {
  public:
    // Puts the icon in the tray, or in the first tray that appears.
    explicit Tray(MainWindow& window);
    // "打开本软件时最小化.": into the tray where there is one, else minimised.
    void start_minimised();

    QSystemTrayIcon icon;
    QMenu menu;
    QAction* autostart_action = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool in_tray();
    void set_autostart(bool on);

    MainWindow& window_;
};

} // namespace keeprun
