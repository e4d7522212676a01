#pragma once
// The main window: shows what the session holds (the eight slots, the run
// record, the option) and hands every user edit to it; the cursor readout, the
// server's links and buttons, and the message box.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "app/slot_panel.h"
#include "net/config_target.h"
#include "schedule/session.h"
#include "ui/colour_scheme.h"
#include "ui/message_panel.h"

namespace keeprun {

class HelpPictureWindow;

class MainWindow : public QWidget,
                   public ConfigTarget,
                   public SchemeWindow,
                   private SessionListener {
  public:
    // `session` must outlive the window.
    explicit MainWindow(Session& session);
    ~MainWindow() override;

    void show_help_picture(int index);
    QPointer<HelpPictureWindow> help_picture() const { return help_picture_; }
    // What the close question's 是 does: opens the exit link, saves, ends keeprun.
    void close_confirmed();
    // The refused second instance: closing its window ends it, saving nothing.
    void end_on_close() { ends_on_close_ = true; }
    // Shows the window again from the tray or minimised, in front.
    void bring_to_front();
    // What the run record's right-click entry "通知设置" opens.
    void set_notify_settings_opener(std::function<void()> open) {
        open_notify_settings_ = std::move(open);
    }
    // A message in the window's message box (see MessagePanel::show_message).
    void show_message(const QString& text);
    // The help buttons flash red at start-up, waiting meanwhile.
    void flash_help_buttons();

    // What the cursor readout works with.
    QLabel* cursor_readout() const { return cursor_readout_; }
    QTimer& cursor_timer() { return cursor_timer_; }
    QTimer& hotkey_timer() { return hotkey_timer_; }

    // ConfigTarget
    void set_caption(const std::string& caption) override;
    void set_exit_link(const std::string& address) override;
    void set_link(int index, const std::string& caption, const std::string& address) override;
    void set_custom_button(int index, const std::string& caption,
                           const std::string& address) override;
    void set_background(const std::string& colour_text) override;
    void set_program_aliases(const ExeAliasTable& aliases) override;

    // SchemeWindow
    void set_window_back(std::int32_t colour) override;
    void set_start_minimised_back(std::int32_t colour) override;
    void set_panel_back(int index, std::int32_t colour) override;
    // The slot panels by element number 1..4.
    SlotPanel& keep_alive_panel(int k) override { return *slot_panels_.at(index(k)); }
    SlotPanel& timed_panel(int k) override { return *slot_panels_.at(index(k + 4)); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static std::size_t index(int slot_number) { return static_cast<std::size_t>(slot_number - 1); }
    void build_top_panels();
    void build_slot_panels();
    void build_bottom_panels();
    void set_tab_order();
    void start_timers();
    void hover_reset();
    // SessionListener
    void slot_changed(int slot_number) override;
    void record_line_added(const std::string& line) override;
    void option_changed(int value) override;

    Session& session_;
    std::array<QWidget*, 7> panels_{};
    QLabel* cursor_readout_ = nullptr;
    QCheckBox* start_minimised_box_ = nullptr;
    std::array<QLabel*, 3> links_{};
    std::array<QString, 3> link_addresses_;
    std::array<QPushButton*, 5> vendor_buttons_{};
    std::array<QString, 5> vendor_button_addresses_;
    std::array<QPushButton*, 2> help_buttons_{};
    QPushButton* focus_sink_ = nullptr;
    QListWidget* record_list_ = nullptr;
    std::function<void()> open_notify_settings_;
    MessagePanel* message_panel_ = nullptr;
    std::array<SlotPanel*, 8> slot_panels_{};
    // The exit link from "[address]", opened on a confirmed close.
    QString exit_link_;
    bool ends_on_close_ = false;
    bool showing_option_ = false; // the box follows the session: no edit to hand back
    QTimer cursor_timer_;
    QTimer hotkey_timer_;
    QTimer hover_timer_;
    QPointer<HelpPictureWindow> help_picture_;
};

} // namespace keeprun
