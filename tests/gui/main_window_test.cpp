// The main window: its layout, what the server configuration sets on it, its
// timers, the close question, and the settings it hands to the files.
#include <QEnterEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "app/copied_notice.h"
#include "app/help_picture_window.h"
#include "app/main_window.h"
#include "app/mouse_readout.h"
#include "app/session_saver.h"
#include "app/tray.h"
#include "gui_support.h"
#include "system/codepage.h"
#include "system/files.h"
#include "ui/control_color.h"
#include "ui/drop_down_box.h"
#include "ui/units.h"

namespace keeprun::testing {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    // A control by its object name, as a user-level test finds it.
    template <typename W = QWidget> W* find(const char* name) {
        W* w = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }

    Engine engine;
    MainWindow window{engine.session};
    TempDir dir;
};

TEST_F(MainWindowTest, PanelsTileTheWindowAndHoldTheirSlots) {
    EXPECT_EQ(window.size(), QSize(tw(15660), tw(8325)));
    std::vector<QWidget*> panels;
    for (const char* name : {"panel1", "panel2", "panel3", "panel4", "panel5", "panel6", "panel7"})
        panels.push_back(find(name));
    for (std::size_t i = 0; i < panels.size(); ++i) {
        EXPECT_TRUE(window.rect().contains(panels[i]->geometry())) << i;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(panels[i]->geometry().intersects(panels[j]->geometry())) << i << "/" << j;
    }
    EXPECT_TRUE(window.rect().contains(find("message_panel")->geometry()));
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(window.keep_alive_panel(k).parentWidget(), panels[3]);
        EXPECT_EQ(window.timed_panel(k).parentWidget(), panels[4]);
        EXPECT_EQ(window.keep_alive_panel(k).size(), QSize(tw(12075), tw(645)));
        EXPECT_TRUE(panels[3]->rect().contains(window.keep_alive_panel(k).geometry()));
        EXPECT_TRUE(panels[4]->rect().contains(window.timed_panel(k).geometry()));
    }
    EXPECT_EQ(find<QLabel>("cursor_readout")->text(), "0*0");
    EXPECT_FALSE(window.hotkey_timer().isActive()) << "Ctrl+8 is told, not polled";
    // The readout asks for the cursor only while the window can be seen.
    EXPECT_FALSE(window.cursor_timer().isActive());
    window.show();
    EXPECT_TRUE(window.cursor_timer().isActive());
    window.showMinimized();
    EXPECT_FALSE(window.cursor_timer().isActive());
    window.showNormal();
    EXPECT_TRUE(window.cursor_timer().isActive());
    window.hide();
    EXPECT_FALSE(window.cursor_timer().isActive());
}

TEST_F(MainWindowTest, ServerSectionsSetCaptionLinksButtonsAliasesAndColours) {
    window.set_caption("服务器给的标题");
    window.set_link(2, "问题", "https://example.com/faq");
    window.set_custom_button(5, "下载", "https://example.com/get");
    window.set_background("&H00C0FFC0&");
    window.set_program_aliases({{"A.EXE", "B.EXE"}});

    EXPECT_EQ(window.windowTitle(), "服务器给的标题");
    EXPECT_EQ(find<QLabel>("link2")->text(), "问题");
    EXPECT_EQ(find<QPushButton>("vendor_button5")->text(), "下载");
    EXPECT_EQ(back_color(&window), 0xC0FFC0);
    EXPECT_EQ(back_color(find("start_minimised_box")), 0xC0FFC0);
    for (const QWidget* panel : window.findChildren<QWidget*>(QRegularExpression("^panel\\d$")))
        EXPECT_EQ(back_color(panel), 0xC0FFC0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(back_color(&window.keep_alive_panel(k)), 0xC0FFC0);
        EXPECT_EQ(back_color(window.timed_panel(k).rule_switches[1]), 0xC0FFC0);
    }
    // The aliases reach the running check through the session.
    engine.world.aliases.clear();
    engine.master.first(1).set_path_text("/bin/sh");
    engine.master.set_startup_done();
    engine.session.tick();
    EXPECT_EQ(engine.world.aliases, (ExeAliasTable{{"A.EXE", "B.EXE"}}));

    // Server text is shown as it is: no markup, no keyboard shortcut.
    window.set_link(1, "<font color=#00ff00 size=6>x", "https://example.com/help");
    window.set_custom_button(1, "A&B", "https://example.com/a");
    const QImage link = find<QLabel>("link1")->grab().toImage();
    for (int y = 0; y < link.height(); ++y)
        for (int x = 0; x < link.width(); ++x) {
            const QRgb c = link.pixel(x, y);
            ASSERT_FALSE(qGreen(c) > qRed(c) + 64 && qGreen(c) > qBlue(c) + 64)
                << "green text at " << x << "," << y;
        }
    EXPECT_TRUE(find<QPushButton>("vendor_button1")->shortcut().isEmpty());
}

TEST_F(MainWindowTest, OnlyALeftClickOpensALink) {
    // Not a web address: opening it shows the failure box, and nothing starts.
    window.set_link(1, "帮助", "file:///etc/passwd");
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton, Qt::LeftButton}) {
        const ShownBox box = catch_message_box(
            [&] { QTest::mouseRelease(find("link1"), button, Qt::NoModifier, QPoint(2, 2)); });
        EXPECT_EQ(box.shown, button == Qt::LeftButton) << button;
    }
}

TEST_F(MainWindowTest, HoverTurnsLinksRedAndTheHoverTimerTurnsThemBack) {
    QLabel* link = find<QLabel>("link1");
    QWidget* help = find("help_button1");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(link, &enter);
    QApplication::sendEvent(help, &enter);
    EXPECT_EQ(fore_color(link), 255);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(back_color(help), 255);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fore_color(link) == 0xFF0000; }, 5000));
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(back_color(help), 0xE0E0E0);
}

TEST(SessionSaver, SavesWithinAMinuteOnceStartedAndOncePerChange) {
    Engine engine;
    TempDir dir;
    SessionSaver saver(engine.session);
    const fs::path record = dir.path() / "jilu.txt";
    engine.session.set_data_folder(dir.path().string() + "/");
    engine.session.add_record_line("09:00:00 打开程序1");
    EXPECT_TRUE(saver.save());
    EXPECT_FALSE(fs::exists(record)) << "before the load the session holds nothing to keep";
    saver.start();
    EXPECT_TRUE(saver.minute_timer.isActive());
    EXPECT_EQ(saver.minute_timer.interval(), 60 * 1000);
    saver.save_if_changed();
    EXPECT_FALSE(fs::exists(record)) << "nothing changed since the load";
    engine.session.add_record_line("10:00:00 打开程序1");
    saver.save_if_changed();
    EXPECT_EQ(record_lines_to_restore(read_text_file(record.string())).size(), 2u);
    fs::remove(record);
    saver.save_if_changed();
    EXPECT_FALSE(fs::exists(record)) << "one save per change";
}

TEST_F(MainWindowTest, SavedSettingsComeBackInAFreshWindow) {
    engine.session.set_data_folder(dir.path().string() + "/");
    engine.master.first(2).apply_param_string(
        "/opt/a[*]1[*]2.5[*]3[*]3[*]5*6[*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    engine.master.second(4).set_switch(1, 1);
    engine.master.second(4).set_choice_text(1, "06:15:00");
    find<QCheckBox>("start_minimised_box")->click();
    engine.session.add_record_line("10:00:00 打开程序2");
    engine.session.add_record_line("10:00:09 关闭程序8");
    ASSERT_TRUE(engine.session.save());

    Engine other_engine;
    MainWindow other(other_engine.session);
    other_engine.session.set_data_folder(engine.session.data_folder());
    other_engine.session.load_settings();
    other_engine.session.load_slots();
    EXPECT_EQ(other_engine.session.stored(), engine.session.stored());
    EXPECT_EQ(other.findChild<QCheckBox*>("start_minimised_box")->checkState(), Qt::Checked);
    EXPECT_EQ(other.findChild<QListWidget*>("record_list")->count(), 2);
    EXPECT_EQ(other.keep_alive_panel(2).delay_lists[1]->currentText(), "2.5");
}

TEST_F(MainWindowTest, TheOptionBoxAndTheSessionFollowEachOther) {
    QCheckBox* box = find<QCheckBox>("start_minimised_box");
    box->click();
    EXPECT_EQ(engine.session.option(), 1) << "1 is ticked, 2 greyed";
    engine.session.set_option(0);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    engine.session.set_option(2);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(engine.session.option(), 2);
}

TEST_F(MainWindowTest, TheTrayItemSwitchesTheRestartOfHungProgramsAndIsSaved) {
    Tray tray(window, engine.session);
    SessionSaver saver(engine.session);
    engine.session.set_data_folder(dir.folder());
    saver.start();
    ASSERT_TRUE(tray.restart_hung_action->isChecked()) << "on by default";
    tray.restart_hung_action->trigger();
    EXPECT_FALSE(engine.session.policy().restart_hung);
    saver.save_if_changed();
    EXPECT_EQ(read_ini("gx", "restart_hung", dir.file("data.ini")), "0");
    engine.session.set_policy({true});
    EXPECT_TRUE(tray.restart_hung_action->isChecked());
}

TEST_F(MainWindowTest, DecliningTheCloseQuestionKeepsEverything) {
    window.show();
    const ShownBox box = catch_message_box([&] { window.close(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "关闭确认");
    EXPECT_EQ(box.text, "是否要关闭软件？");
    EXPECT_EQ(box.default_button, QMessageBox::Yes) << "Enter confirms";
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, AHelpClickWhileThePictureIsOpenOnlyChangesItsTag) {
    window.show_help_picture(0);
    QPointer<HelpPictureWindow> picture = window.help_picture();
    ASSERT_TRUE(picture);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture->isVisible(); }, 5000));
    EXPECT_EQ(picture->size(), QSize(887, 690));
    EXPECT_EQ(picture->windowTitle(), "说明");

    window.show_help_picture(1);
    EXPECT_EQ(window.help_picture(), picture);
    EXPECT_EQ(picture->picture, "2");
    EXPECT_EQ(picture->size(), QSize(887, 690)) << "not redrawn";

    QTest::keyClick(picture, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isNull(); }, 5000)) << "Escape closes it";
    window.show_help_picture(1);
    ASSERT_TRUE(window.help_picture());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.help_picture()->isVisible(); }, 5000));
    EXPECT_EQ(window.help_picture()->size(), QSize(1085, 679));
    window.help_picture()->close();
}

// Slot 1..8's stops, each row left to right.
std::vector<QWidget*> slot_stops(SlotPanel& slot) {
    std::vector<QWidget*> stops{slot.path_box, slot.action_buttons[0]};
    if (slot.action_buttons[1]) stops.push_back(slot.action_buttons[1]);
    for (int k = 0; k < 2 && slot.rule_switches[k]; ++k)
        stops.insert(stops.end(),
                     {slot.rule_switches[k], slot.rule_lists[k]->findChild<QLineEdit*>("edit")});
    for (int i = 0; i < 4; ++i)
        stops.insert(stops.end(), {slot.delay_lists[i], slot.position_boxes[i]});
    return stops;
}

TEST_F(MainWindowTest, TabWalksTheSlotsInOrderThenTheTopButtonsAndOnlyVisibleControls) {
    std::vector<QWidget*> want{find("help_button1")};
    for (int k = 1; k <= 4; ++k)
        for (QWidget* w : slot_stops(window.keep_alive_panel(k)))
            want.push_back(w);
    want.push_back(find("help_button2"));
    for (int k = 1; k <= 4; ++k)
        for (QWidget* w : slot_stops(window.timed_panel(k)))
            want.push_back(w);
    for (const char* name : {"vendor_button1", "vendor_button2", "vendor_button3", "vendor_button4",
                             "vendor_button5", "start_minimised_box", "record_list"})
        want.push_back(find(name));

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    want.front()->setFocus();
    std::vector<QWidget*> walked;
    for (std::size_t i = 0; i <= want.size(); ++i) {
        walked.push_back(QApplication::focusWidget());
        ASSERT_TRUE(walked.back() && walked.back()->isVisible()) << "stop " << i;
        QTest::keyClick(walked.back(), Qt::Key_Tab);
    }
    want.push_back(want.front());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_TRUE(want[i] == walked[i] || want[i]->focusProxy() == walked[i] ||
                    walked[i]->focusProxy() == want[i])
            << "stop " << i << ": " << walked[i]->metaObject()->className();
}

TEST_F(MainWindowTest, ACopyThatNeverHoldsTheClipboardEndsInTheFailureBox) {
    // The offscreen platform never owns a clipboard: every one of the tries fails.
    const ShownBox box = catch_message_box([&] { copy_position(window, "12*34"); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "错误提示");
    EXPECT_EQ(box.text, "本次复制出现错误，请再次复制！");
    EXPECT_EQ(find<MessagePanel>("message_panel")->open_state(), 0) << "no success notice";
}

TEST(CopiedNotice, TheCopiedNoticeClosesItself) {
    CopiedNotice notice(nullptr);
    EXPECT_EQ(notice.windowTitle(), "信息提示窗口");
    EXPECT_EQ(back_color(&notice), 0x00FF00);
    notice.exec(); // returns only once the notice has closed
    EXPECT_FALSE(notice.isVisible());
}

} // namespace
} // namespace keeprun::testing
