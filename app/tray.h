#pragma once
// The tray icon, where the desktop has a tray: its menu shows the main window,
// switches starting at login and ends keeprun; a click shows the window, and
// minimising hides the window to the tray.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace keeprun {

class MainWindow;

class Tray : public QObject {
  public:
    // Puts the icon in the tray; does nothing when the desktop has none.
    explicit Tray(MainWindow& window);
    // "打开本软件时最小化.": into the tray where there is one, else minimised.
    void start_minimised();

    QSystemTrayIcon icon;
    QMenu menu;
    QAction* autostart_action = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void set_autostart(bool on);

    MainWindow& window_;
};

} // namespace keeprun
