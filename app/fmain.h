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

#include "app/slot_panel.h"
#include "net/config_target.h"
#include "schedule/master_switch.h"
#include "system/settings_file.h"
#include "ui/colour_scheme.h"
#include "ui/msgbox.h"

namespace keeprun {

class Fpic;

class Fmain : public QWidget, public ConfigTarget, public SchemeWindow, public SettingsView {
  public:
    // `engine` (the eight slots) must outlive the window.
    explicit Fmain(MasterSwitch& engine);

    std::array<QWidget*, 7> Picdi{};
    QLabel* L_show;
    QCheckBox* Check_sx;
    std::array<QLabel*, 4> Lkf{};        // 1..3
    std::array<QString, 4> Lkf_Tag;      // the addresses they open
    std::array<QPushButton*, 6> C_zdy{}; // 1..5
    std::array<QString, 6> C_zdy_Tag;
    std::array<QPushButton*, 2> C_gn{}; // the two help buttons
    QPushButton* Cf;
    QListWidget* Listjl;
    ucf_msgbox* msgbox;
    // The exit link from "[tuichu]", opened on a confirmed close.
    QString Tag;

    QTimer Timer_kongzhi;
    QTimer Timer_zuobiao;
    QTimer Timer_Ctrl8;
    QTimer Timer_hy;
    QTimer Timer_loadurl;
    QString Timer_loadurl_Tag;

    // Where data.ini and jilu.txt live (set during start-up).
    void set_data_folder(const std::string& folder) { data_folder_ = folder; }
    void show_help_picture(int index);
    QPointer<Fpic> fpic() const { return Fpic_; }

    // ConfigTarget
    void set_caption(const std::string& biaoti) override;
    void set_exit_link(const std::string& tuichu) override;
    void set_link(int index, const std::string& caption, const std::string& address) override;
    void set_custom_button(int index, const std::string& caption,
                           const std::string& address) override;
    void set_background(const std::string& colour_text) override;
    void set_exe_alias_table(const ExeAliasTable& table) override;
    const ExeAliasTable& exe_alias_table() const { return exe_alias_table_; }

    // SchemeWindow
    void set_form_back(std::int32_t ys) override;
    void set_check_sx_back(std::int32_t ys) override;
    void set_picdi_back(int index, std::int32_t ys) override;
    // The slot panels by element number 1..4.
    SlotPanel& ucf_fa1(int k) override { return *fa1_.at(static_cast<std::size_t>(k - 1)); }
    SlotPanel& ucf_fa2(int k) override { return *fa2_.at(static_cast<std::size_t>(k - 1)); }

    // SettingsView
    int option() const override;
    void set_option(int value) override;
    std::string slot_canshu(int kind, int n) const override;
    void set_slot_canshu(int kind, int n, const std::string& canshu) override;
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
    QPointer<Fpic> Fpic_;
    std::array<SlotPanel*, 4> fa1_{};
    std::array<SlotPanel*, 4> fa2_{};
};

} // namespace keeprun
