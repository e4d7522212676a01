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
    Engine engine;
    MainWindow window{engine.master};
    ScratchDir dir;
};

TEST_F(MainWindowTest, PanelsSlotsAndMessageBoxSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(window.size(), QSize(tw(15660), tw(8325)));
    const QRect panels[7] = {tw_rect(0, 0, 3615, 510),       tw_rect(3630, 0, 9585, 510),
                             tw_rect(13230, 0, 2415, 510),   tw_rect(0, 540, 12135, 3615),
                             tw_rect(0, 4330, 12135, 3615),  tw_rect(0, 7980, 15645, 345),
                             tw_rect(12150, 540, 3495, 7410)};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window.panels[i]->geometry(), panels[i]) << "panels " << i;
    EXPECT_EQ(window.message_panel->pos(), QPoint(tw(10590), tw(570)));
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(window.keep_alive_panel(k).parentWidget(), window.panels[3]);
        EXPECT_EQ(window.timed_panel(k).parentWidget(), window.panels[4]);
        EXPECT_EQ(window.keep_alive_panel(k).size(), QSize(tw(12075), tw(645)));
        EXPECT_TRUE(window.panels[3]->rect().contains(window.keep_alive_panel(k).geometry()));
        EXPECT_TRUE(window.panels[4]->rect().contains(window.timed_panel(k).geometry()));
    }
    EXPECT_EQ(window.cursor_readout->text(), "0*0");
    EXPECT_EQ(window.tick_timer.interval(), 500);
    EXPECT_TRUE(window.tick_timer.isActive());
    EXPECT_FALSE(window.hotkey_timer.isActive()) << "Ctrl+8 is told, not polled";
    // The readout asks for the cursor only while the window can be seen.
    EXPECT_FALSE(window.cursor_timer.isActive());
    window.show();
    EXPECT_TRUE(window.cursor_timer.isActive());
    window.showMinimized();
    EXPECT_FALSE(window.cursor_timer.isActive());
    window.showNormal();
    EXPECT_TRUE(window.cursor_timer.isActive());
    window.hide();
    EXPECT_FALSE(window.cursor_timer.isActive());
    EXPECT_FALSE(window.slot_load_timer.isActive());
}

TEST_F(MainWindowTest, ServerSectionsSetCaptionLinksButtonsAndColours) {
    window.set_caption("服务器给的标题");
    window.set_exit_link("https://example.com/bye");
    window.set_link(2, "问题", "https://example.com/faq");
    window.set_custom_button(5, "下载", "https://example.com/get");
    window.set_background("&H00C0FFC0&");

    EXPECT_EQ(window.windowTitle(), "服务器给的标题");
    EXPECT_EQ(window.exit_link, "https://example.com/bye");
    EXPECT_EQ(window.links[2]->text(), "问题");
    EXPECT_EQ(window.link_addresses[2], "https://example.com/faq");
    EXPECT_EQ(window.vendor_buttons[5]->text(), "下载");
    EXPECT_EQ(window.vendor_button_addresses[5], "https://example.com/get");
    EXPECT_EQ(back_color(&window), 0xC0FFC0);
    EXPECT_EQ(back_color(window.start_minimised_box), 0xC0FFC0);
    for (QWidget* panel : window.panels)
        EXPECT_EQ(back_color(panel), 0xC0FFC0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(back_color(&window.keep_alive_panel(k)), 0xC0FFC0);
        EXPECT_EQ(back_color(window.timed_panel(k).rule_switches[1]), 0xC0FFC0);
    }

    // Server text is shown as it is: no markup, no keyboard shortcut.
    window.set_link(1, "<font color=#00ff00 size=6>x", "https://example.com/help");
    window.set_custom_button(1, "A&B", "https://example.com/a");
    const QImage link = window.links[1]->grab().toImage();
    for (int y = 0; y < link.height(); ++y)
        for (int x = 0; x < link.width(); ++x) {
            const QRgb c = link.pixel(x, y);
            ASSERT_FALSE(qGreen(c) > qRed(c) + 64 && qGreen(c) > qBlue(c) + 64)
                << "green text at " << x << "," << y;
        }
    EXPECT_TRUE(window.vendor_buttons[1]->shortcut().isEmpty());
}

TEST_F(MainWindowTest, OnlyALeftClickOpensALink) {
    // Not a web address: opening it shows the failure box, and nothing starts.
    window.set_link(1, "帮助", "file:///etc/passwd");
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton, Qt::LeftButton}) {
        const ShownBox box = catch_message_box(
            [&] { QTest::mouseRelease(window.links[1], button, Qt::NoModifier, QPoint(2, 2)); });
        EXPECT_EQ(box.shown, button == Qt::LeftButton) << button;
    }
}

TEST_F(MainWindowTest, HoverTurnsLinksRedAndTheHoverTimerTurnsThemBack) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(window.links[1], &enter);
    QApplication::sendEvent(window.help_buttons[0], &enter);
    EXPECT_EQ(fore_color(window.links[1]), 255);
    EXPECT_TRUE(window.links[1]->font().underline());
    EXPECT_EQ(back_color(window.help_buttons[0]), 255);
    EXPECT_TRUE(window.hover_timer.isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.hover_timer.isActive(); }, 5000));
    EXPECT_EQ(fore_color(window.links[1]), 0xFF0000);
    EXPECT_FALSE(window.links[1]->font().underline());
    EXPECT_EQ(back_color(window.help_buttons[0]), 0xE0E0E0);
}

TEST_F(MainWindowTest, TheLoadTimerLoadsTheSlotsOnlyOnce) {
    const std::string folder = dir.path().string() + "/";
    window.set_data_folder(folder);
    const auto write_slot = [&](const std::string& path) {
        dir.file("data.ini",
                 cp936_encode("[cx1]\r\n4=" + path +
                              "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]\r\n"));
    };
    write_slot("/opt/第一次");
    window.slot_load_timer.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.slot_load_address == "ok"; }, 5000));
    EXPECT_EQ(engine.master.first(4).path_text(), "/opt/第一次");

    write_slot("/opt/第二次");
    window.slot_load_timer.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.slot_load_timer.isActive(); }, 5000));
    EXPECT_EQ(engine.master.first(4).path_text(), "/opt/第一次");
}

TEST_F(MainWindowTest, ChangesAreSavedWithinAMinuteOnceTheSlotsAreLoaded) {
    const fs::path record = dir.path() / "jilu.txt";
    window.set_data_folder(dir.path().string() + "/");
    window.add_record_line("09:00:00 打开程序1");
    EXPECT_TRUE(window.session_saver.save());
    EXPECT_FALSE(fs::exists(record)) << "before the load the window holds nothing to keep";
    window.slot_load_timer.start(0);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.session_saver.minute_timer.isActive(); }, 5000));
    EXPECT_EQ(window.session_saver.minute_timer.interval(), 60 * 1000);
    window.session_saver.save_if_changed();
    EXPECT_FALSE(fs::exists(record)) << "nothing changed since the load";
    window.add_record_line("10:00:00 打开程序1");
    window.session_saver.save_if_changed();
    EXPECT_EQ(record_lines_to_restore(read_text_file(record.string())).size(), 2u);
    fs::remove(record);
    window.session_saver.save_if_changed();
    EXPECT_FALSE(fs::exists(record)) << "one save per change";
}

TEST_F(MainWindowTest, SavedSettingsComeBackInAFreshWindow) {
    const std::string folder = dir.path().string() + "/";
    engine.master.first(2).apply_param_string(
        "/opt/a[*]1[*]2.5[*]3[*]3[*]5*6[*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    engine.master.second(4).set_switch(1, 1);
    engine.master.second(4).set_choice_text(1, "06:15:00");
    window.set_option(1);
    window.add_record_line("10:00:00 打开程序2");
    window.add_record_line("10:00:09 关闭程序8");
    ASSERT_TRUE(save_settings(folder, window));

    Engine other_engine;
    MainWindow other(other_engine.master);
    load_settings(folder, other);
    load_slots(folder, other);
    EXPECT_EQ(other.option(), 1);
    EXPECT_EQ(other.record_lines(), window.record_lines());
    for (int kind = 1; kind <= 2; ++kind)
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(other.slot_param_string(kind, n), window.slot_param_string(kind, n))
                << kind << "/" << n;
    EXPECT_EQ(other.keep_alive_panel(2).delay_lists[1]->currentText(), "2.5");
}

TEST_F(MainWindowTest, ATickedOptionBoxIsStoredAsOneAndShownTicked) {
    window.start_minimised_box->click();
    EXPECT_EQ(window.option(), 1) << "1 is ticked, 2 greyed";
    window.set_option(0);
    window.set_option(1);
    EXPECT_EQ(window.start_minimised_box->checkState(), Qt::Checked);
    window.set_option(2);
    EXPECT_EQ(window.start_minimised_box->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(window.option(), 2);
}

TEST_F(MainWindowTest, DecliningTheCloseQuestionKeepsEverything) {
    window.show();
    const ShownBox box = catch_message_box([&] { window.close(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "关闭确认");
    EXPECT_EQ(box.text, "是否要关闭软件？");
    EXPECT_EQ(box.default_button, QMessageBox::Yes) << "Enter confirms";
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.tick_timer.isActive());
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
    std::vector<QWidget*> want{window.help_buttons[0]};
    for (int k = 1; k <= 4; ++k)
        for (QWidget* w : slot_stops(window.keep_alive_panel(k)))
            want.push_back(w);
    want.push_back(window.help_buttons[1]);
    for (int k = 1; k <= 4; ++k)
        for (QWidget* w : slot_stops(window.timed_panel(k)))
            want.push_back(w);
    for (int i = 1; i <= 5; ++i)
        want.push_back(window.vendor_buttons[i]);
    want.insert(want.end(), {window.start_minimised_box, window.record_list});

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.help_buttons[0]->setFocus();
    std::vector<QWidget*> walked;
    for (std::size_t i = 0; i <= want.size(); ++i) {
        walked.push_back(QApplication::focusWidget());
        ASSERT_TRUE(walked.back() && walked.back()->isVisible()) << "stop " << i;
        QTest::keyClick(walked.back(), Qt::Key_Tab);
    }
    want.push_back(window.help_buttons[0]);
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
    EXPECT_EQ(window.message_panel->open_state(), 0) << "no success notice";
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
