// The main window: its layout, what the server configuration sets on it, its
// timers, the close question, and the settings it hands to the files.
#include <QEnterEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "app/fmain.h"
#include "app/fpic.h"
#include "app/ftishi.h"
#include "app/mouse_readout.h"
#include "gui_support.h"
#include "system/codepage.h"
#include "ui/control_color.h"
#include "ui/units.h"

namespace keeprun::testing {
namespace {

class FmainTest : public ::testing::Test {
  protected:
    Engine engine;
    Fmain window{engine.master};
    ScratchDir dir;
};

TEST_F(FmainTest, PanelsSlotsAndMessageBoxSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(window.size(), QSize(tw(15660), tw(8325)));
    const QRect panels[7] = {tw_rect(0, 0, 3615, 510),       tw_rect(3630, 0, 9585, 510),
                             tw_rect(13230, 0, 2415, 510),   tw_rect(0, 540, 12135, 3615),
                             tw_rect(0, 4330, 12135, 3615),  tw_rect(0, 7980, 15645, 345),
                             tw_rect(12150, 540, 3495, 7410)};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window.Picdi[i]->geometry(), panels[i]) << "Picdi " << i;
    EXPECT_EQ(window.msgbox->pos(), QPoint(tw(10590), tw(570)));
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(window.ucf_fa1(k).parentWidget(), window.Picdi[3]);
        EXPECT_EQ(window.ucf_fa2(k).parentWidget(), window.Picdi[4]);
        EXPECT_EQ(window.ucf_fa1(k).size(), QSize(tw(12075), tw(645)));
        EXPECT_TRUE(window.Picdi[3]->rect().contains(window.ucf_fa1(k).geometry()));
        EXPECT_TRUE(window.Picdi[4]->rect().contains(window.ucf_fa2(k).geometry()));
    }
    EXPECT_EQ(window.L_show->text(), "0*0");
    EXPECT_EQ(window.Timer_kongzhi.interval(), 500);
    EXPECT_TRUE(window.Timer_kongzhi.isActive());
    EXPECT_FALSE(window.Timer_Ctrl8.isActive()) << "Ctrl+8 is told, not polled";
    // The readout asks for the cursor only while the window can be seen.
    EXPECT_FALSE(window.Timer_zuobiao.isActive());
    window.show();
    EXPECT_TRUE(window.Timer_zuobiao.isActive());
    window.showMinimized();
    EXPECT_FALSE(window.Timer_zuobiao.isActive());
    window.showNormal();
    EXPECT_TRUE(window.Timer_zuobiao.isActive());
    window.hide();
    EXPECT_FALSE(window.Timer_zuobiao.isActive());
    EXPECT_FALSE(window.Timer_loadurl.isActive());
}

TEST_F(FmainTest, ServerSectionsSetCaptionLinksButtonsAndColours) {
    window.set_caption("服务器给的标题");
    window.set_exit_link("https://example.com/bye");
    window.set_link(2, "问题", "https://example.com/faq");
    window.set_custom_button(5, "下载", "https://example.com/get");
    window.set_background("&H00C0FFC0&");

    EXPECT_EQ(window.windowTitle(), "服务器给的标题");
    EXPECT_EQ(window.Tag, "https://example.com/bye");
    EXPECT_EQ(window.Lkf[2]->text(), "问题");
    EXPECT_EQ(window.Lkf_Tag[2], "https://example.com/faq");
    EXPECT_EQ(window.C_zdy[5]->text(), "下载");
    EXPECT_EQ(window.C_zdy_Tag[5], "https://example.com/get");
    EXPECT_EQ(back_color(&window), 0xC0FFC0);
    EXPECT_EQ(back_color(window.Check_sx), 0xC0FFC0);
    for (QWidget* panel : window.Picdi)
        EXPECT_EQ(back_color(panel), 0xC0FFC0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(back_color(&window.ucf_fa1(k)), 0xC0FFC0);
        EXPECT_EQ(back_color(window.ucf_fa2(k).Check_auto[1]), 0xC0FFC0);
    }
}

TEST_F(FmainTest, HoverTurnsLinksRedAndTheHoverTimerTurnsThemBack) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(window.Lkf[1], &enter);
    QApplication::sendEvent(window.C_gn[0], &enter);
    EXPECT_EQ(fore_color(window.Lkf[1]), 255);
    EXPECT_TRUE(window.Lkf[1]->font().underline());
    EXPECT_EQ(back_color(window.C_gn[0]), 255);
    EXPECT_TRUE(window.Timer_hy.isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.Timer_hy.isActive(); }, 5000));
    EXPECT_EQ(fore_color(window.Lkf[1]), 0xFF0000);
    EXPECT_FALSE(window.Lkf[1]->font().underline());
    EXPECT_EQ(back_color(window.C_gn[0]), 0xE0E0E0);
}

TEST_F(FmainTest, TheLoadTimerLoadsTheSlotsOnlyOnce) {
    const std::string folder = dir.path().string() + "/";
    window.set_data_folder(folder);
    const auto write_slot = [&](const std::string& path) {
        dir.file("data.ini",
                 cp936_encode("[cx1]\r\n4=" + path +
                              "[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]0[*][*]20:01[*][*][*]\r\n"));
    };
    write_slot("/opt/第一次");
    window.Timer_loadurl.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Timer_loadurl_Tag == "ok"; }, 5000));
    EXPECT_EQ(engine.master.first(4).path_text(), "/opt/第一次");

    write_slot("/opt/第二次");
    window.Timer_loadurl.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Timer_loadurl.isActive(); }, 5000));
    EXPECT_EQ(engine.master.first(4).path_text(), "/opt/第一次");
}

TEST_F(FmainTest, SavedSettingsComeBackInAFreshWindow) {
    const std::string folder = dir.path().string() + "/";
    engine.master.first(2).a_set_canshu(
        "/opt/a[*]1[*]2.5[*]3[*]3[*]5*6[*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    engine.master.second(4).set_switch(1, 1);
    engine.master.second(4).set_choice_text(1, "06:15:00");
    window.set_option(1);
    window.add_record_line("10:00:00 打开程序2");
    window.add_record_line("10:00:09 关闭程序8");
    ASSERT_TRUE(save_settings(folder, window));

    Engine other_engine;
    Fmain other(other_engine.master);
    load_settings(folder, other);
    load_slots(folder, other);
    EXPECT_EQ(other.option(), 1);
    EXPECT_EQ(other.record_lines(), window.record_lines());
    for (int kind = 1; kind <= 2; ++kind)
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(other.slot_canshu(kind, n), window.slot_canshu(kind, n)) << kind << "/" << n;
    EXPECT_EQ(other.ucf_fa1(2).Combo1[1]->currentText(), "2.5");
}

TEST_F(FmainTest, ATickedOptionBoxIsStoredAsOneAndShownTicked) {
    window.Check_sx->click();
    EXPECT_EQ(window.option(), 1) << "1 is ticked, 2 greyed";
    window.set_option(0);
    window.set_option(1);
    EXPECT_EQ(window.Check_sx->checkState(), Qt::Checked);
    window.set_option(2);
    EXPECT_EQ(window.Check_sx->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(window.option(), 2);
}

TEST_F(FmainTest, DecliningTheCloseQuestionKeepsEverything) {
    window.show();
    const ShownBox box = catch_message_box([&] { window.close(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "关闭确认");
    EXPECT_EQ(box.text, "是否要关闭软件？");
    EXPECT_EQ(box.default_button, QMessageBox::Yes) << "Enter confirms";
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Timer_kongzhi.isActive());
}

TEST_F(FmainTest, AHelpClickWhileThePictureIsOpenOnlyChangesItsTag) {
    window.show_help_picture(0);
    QPointer<Fpic> picture = window.fpic();
    ASSERT_TRUE(picture);
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture->isVisible(); }, 5000));
    EXPECT_EQ(picture->size(), QSize(887, 690));
    EXPECT_EQ(picture->windowTitle(), "说明");

    window.show_help_picture(1);
    EXPECT_EQ(window.fpic(), picture);
    EXPECT_EQ(picture->Tag, "2");
    EXPECT_EQ(picture->size(), QSize(887, 690)) << "not redrawn";

    picture->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.isNull(); }, 5000));
    window.show_help_picture(1);
    ASSERT_TRUE(window.fpic());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.fpic()->isVisible(); }, 5000));
    EXPECT_EQ(window.fpic()->size(), QSize(1085, 679));
    window.fpic()->close();
}

TEST_F(FmainTest, ACopyThatNeverHoldsTheClipboardEndsInTheFailureBox) {
    // The offscreen platform never owns a clipboard: every one of the tries fails.
    const ShownBox box = catch_message_box([&] { data_cpno(window, "12*34"); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "错误提示");
    EXPECT_EQ(box.text, "本次复制出现错误，请再次复制！");
    EXPECT_EQ(window.msgbox->a_get_bz(), 0) << "no success notice";
}

TEST(Ftishi, TheCopiedNoticeClosesItself) {
    Ftishi notice(nullptr);
    EXPECT_EQ(notice.windowTitle(), "信息提示窗口");
    EXPECT_EQ(back_color(&notice), 0x00FF00);
    notice.exec(); // returns only once the notice has closed
    EXPECT_FALSE(notice.isVisible());
}

} // namespace
} // namespace keeprun::testing
