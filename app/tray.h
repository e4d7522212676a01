#pragma once
// The tray icon, where the desktop has a tray (now or later): its menu shows the
// main window, switches starting at login and the restart of hung programs, and
// ends keeprun; a click shows the window, and while there is a tray, minimising
// hides the window to it.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "schedule/session.h"

namespace keeprun {

class MainWindow;

class Tray : public QObject, private SessionListener {
  public:
    // Puts the icon in the tray, or in the first tray that appears. Both must
    // outlive the tray.
    Tray(MainWindow& window, Session& session);
    ~Tray() override;
    // "打开本软件时最小化.": into the tray where there is one, else minimised.
    void start_minimised();

    QSystemTrayIcon icon;
    QMenu menu;
    QAction* autostart_action = nullptr;
    QAction* restart_hung_action = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool in_tray();
    void set_autostart(bool on);
    void policy_changed(const SlotPolicy& policy) override;

    MainWindow& window_;
    Session& session_;
};

} // namespace keeprun
