#pragma once
// The main window: the eight slot panels, the run record, the cursor readout,
// the server's links and buttons, the message box and the timers that drive
// everything.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>

#include "app/session_saver.h"
#include "app/slot_panel.h"
#include "net/config_target.h"
#include "schedule/master_switch.h"
#include "system/settings_file.h"
#include "ui/colour_scheme.h"
#include "ui/message_panel.h"

namespace keeprun {

class HelpPictureWindow;

class MainWindow : public QWidget, public ConfigTarget, public SchemeWindow, public SettingsView {
  public:
    // `engine` (the eight slots) must outlive the window.
    explicit MainWindow(MasterSwitch& engine);

    std::array<QWidget*, 7> panels{};
    QLabel* cursor_readout;
    QCheckBox* start_minimised_box;
    std::array<QLabel*, 4> links{};               // 1..3
    std::array<QString, 4> link_addresses;        // the addresses they open
    std::array<QPushButton*, 6> vendor_buttons{}; // 1..5
    std::array<QString, 6> vendor_button_addresses;
    std::array<QPushButton*, 2> help_buttons{}; // the two help buttons
    QPushButton* focus_sink;
    QListWidget* record_list;
    MessagePanel* message_panel;
    // The exit link from "[address]", opened on a confirmed close.
    QString exit_link;
    // The refused second instance: closing its window ends it, saving nothing.
    bool ends_on_close = false;
    SessionSaver session_saver{*this};

    QTimer tick_timer;
    QTimer cursor_timer;
    QTimer hotkey_timer;
    QTimer hover_timer;
    QTimer slot_load_timer;
    QString slot_load_address;

    // Where data.ini and jilu.txt live (set during start-up).
    void set_data_folder(const std::string& folder) { data_folder_ = folder; }
    void show_help_picture(int index);
    // What the close question's 是 does: opens the exit link, saves, ends keeprun.
    void close_confirmed();
    // Shows the window again from the tray or minimised, in front.
    void bring_to_front();
    QPointer<HelpPictureWindow> help_picture() const { return help_picture_; }

    // ConfigTarget
    void set_caption(const std::string& caption) override;
    void set_exit_link(const std::string& address) override;
    void set_link(int index, const std::string& caption, const std::string& address) override;
    void set_custom_button(int index, const std::string& caption,
                           const std::string& address) override;
    void set_background(const std::string& colour_text) override;
    void set_exe_alias_table(const ExeAliasTable& table) override;
    const ExeAliasTable& exe_alias_table() const { return exe_alias_table_; }

    // SchemeWindow
    void set_window_back(std::int32_t colour) override;
    void set_start_minimised_back(std::int32_t colour) override;
    void set_panel_back(int index, std::int32_t colour) override;
    // The slot panels by element number 1..4.
    SlotPanel& keep_alive_panel(int k) override {
        return *keep_alive_panels_.at(static_cast<std::size_t>(k - 1));
    }
    SlotPanel& timed_panel(int k) override {
        return *timed_panels_.at(static_cast<std::size_t>(k - 1));
    }

    // SettingsView
    int option() const override;
    void set_option(int value) override;
    std::string slot_param_string(int kind, int n) const override;
    void set_slot_param_string(int kind, int n, const std::string& param_string) override;
    std::vector<std::string> record_lines() const override;
    void add_record_line(const std::string& line) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_top_panels();
    void build_slot_panels();
    void build_bottom_panels();
    void start_timers();
    void hover_reset();
    void load_slots_once();
    Slot& engine_slot(int kind, int n) const;

    MasterSwitch& engine_;
    std::string data_folder_;
    ExeAliasTable exe_alias_table_;
    QPointer<HelpPictureWindow> help_picture_;
    std::array<SlotPanel*, 4> keep_alive_panels_{};
    std::array<SlotPanel*, 4> timed_panels_{};
};

} // namespace keeprun
