#pragma once
// The tray icon, where the desktop has a tray (now or later): its menu shows the
// main window, switches starting at login and the restart of hung programs, opens
// the notice settings, and ends keeprun; a click shows the window, and while there
// is a tray, minimising hides the window to it. It shows a notice when a kept
// program is started again, hung, crashed or keeps exiting, and its tooltip counts
// each watched program's restarts.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <array>
#include <cstdint>

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
    // A notice on the desktop, at most one per slot per minute; timed ones stay quiet.
    void show_notice(const Notice& notice);

    QSystemTrayIcon icon;
    QMenu menu;
    QAction* autostart_action = nullptr;
    QAction* restart_hung_action = nullptr;
    QAction* notify_action = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool in_tray();
    void set_autostart(bool on);
    void policy_changed(const SlotPolicy& policy) override;
    void slot_event(const SlotEvent& event) override;
    void slot_changed(int slot_number) override;
    void update_tooltip();

    MainWindow& window_;
    Session& session_;
    // Per kept slot (index = slot number): restarts since keeprun started.
    std::array<int, 5> restarts_{};
    // Per slot: when its last notice was shown (steady seconds); none yet.
    std::array<std::int64_t, 9> last_notice_{};
};

} // namespace keeprun
