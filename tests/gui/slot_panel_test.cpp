// The slot panels: what they show, how edits reach the slot, and file drops.
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/slot_panel.h"
#include "gui_support.h"
#include "ui/combox.h"
#include "ui/control_color.h"

namespace keeprun::testing {
namespace {

void drop_files(QWidget* target, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

class SlotPanelTest : public ::testing::Test {
  protected:
    Engine engine;
    ScratchDir dir;
    SlotPanel first{engine.master.first(3), nullptr};
    SlotPanel second{engine.master.second(2), nullptr};
};

TEST_F(SlotPanelTest, FreshFirstKindShowsItsNumberHintDelaysAndUnsetPositions) {
    EXPECT_EQ(first.Lname->text(), "程序3");
    EXPECT_EQ(first.T_guajitxt->text(), "拖入此方框");
    EXPECT_EQ(fore_color(first.T_guajitxt), 0x808080);
    const char* delays[4] = {"8", "3", "3", "3"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(first.Combo1[i]->currentText(), delays[i]);
        EXPECT_TRUE(first.Tzuobiao[i]->text().isEmpty());
        EXPECT_EQ(back_color(first.Tzuobiao[i]), 0xF9F9F4);
        EXPECT_EQ(fore_color(first.Tzuobiao[i]), 0x808080);
    }
    EXPECT_EQ(first.Combo1[0]->count(), 55);
    EXPECT_EQ(first.Combo1[1]->count(), 59);
    EXPECT_EQ(first.C_gn[1]->text(), "暂停");
    EXPECT_EQ(first.Check_auto[0], nullptr);
}

TEST_F(SlotPanelTest, TypedFieldsReachTheSlotAndRepaintTheMarks) {
    QTest::keyClicks(first.Tzuobiao[1], "12*");
    QTest::keyClicks(first.Tzuobiao[2], "1*");
    first.Combo1[1]->lineEdit()->clear();
    QTest::keyClicks(first.Combo1[1]->lineEdit(), "2.5");
    first.T_guajitxt->selectAll();
    QTest::keyClicks(first.T_guajitxt, "/opt/tool/run");

    const Slot& slot = engine.master.first(3);
    EXPECT_EQ(slot.position(1), "12*");
    EXPECT_EQ(slot.delay(1), "2.5");
    EXPECT_EQ(slot.path_text(), "/opt/tool/run");
    EXPECT_EQ(back_color(first.Tzuobiao[1]), 0xFFFFFF);
    EXPECT_EQ(fore_color(first.Tzuobiao[1]), 1);
    EXPECT_EQ(back_color(first.Combo1[1]), 0xFFFFFF);
    EXPECT_EQ(back_color(first.Tzuobiao[2]), 0xF9F9F4) << "1* is too short to count";
    EXPECT_EQ(fore_color(first.T_guajitxt), 1) << "a path shows dark";
}

TEST_F(SlotPanelTest, LoadedDelaysStayVerbatimAndRoundTrip) {
    Slot& slot = engine.master.first(3);
    const std::string stored =
        "/opt/a/b[*]1[*]2.5[*]3[*]60[*]640*480[*][*]7*8[*][*]0[*]0[*][*]20:01[*][*][*]";
    slot.a_set_canshu(stored);
    EXPECT_EQ(first.T_guajitxt->text(), "/opt/a/b");
    EXPECT_EQ(first.Combo1[0]->currentText(), "1");
    EXPECT_EQ(first.Combo1[1]->currentText(), "2.5");
    EXPECT_EQ(first.Tzuobiao[0]->text(), "640*480");
    EXPECT_EQ(first.Tzuobiao[2]->text(), "7*8");
    EXPECT_EQ(slot.a_get_canshu(), stored);
}

TEST_F(SlotPanelTest, ClearEmptiesPositionsAndResetsDelaysButKeepsTheSwitches) {
    Slot& slot = engine.master.second(2);
    slot.a_set_canshu("/x/y[*]20[*]9[*]9[*]9[*]1*2[*]3*4[*][*][*]0[*]1[*][*]20:05:00[*][*][*]");
    QTest::mouseClick(second.C_gn[0], Qt::LeftButton);
    EXPECT_EQ(second.T_guajitxt->text(), "设置时间后生效");
    EXPECT_EQ(second.Combo1[0]->currentText(), "8");
    EXPECT_EQ(second.Combo1[3]->currentText(), "3");
    EXPECT_TRUE(second.Tzuobiao[0]->text().isEmpty());
    EXPECT_TRUE(second.Check_auto[1]->isChecked());
    EXPECT_EQ(second.combox[1]->a_txt(), "20:05:00");
    EXPECT_TRUE(second.Cf->hasFocus() || !second.isVisible());
}

TEST_F(SlotPanelTest, PauseTurnsRedAndBackToTheSchemeColourNeverBlack) {
    QTest::mouseClick(first.C_gn[1], Qt::LeftButton);
    EXPECT_TRUE(engine.master.first(3).paused());
    EXPECT_EQ(back_color(first.C_gn[1]), 255);
    QTest::mouseClick(first.C_gn[1], Qt::LeftButton);
    EXPECT_FALSE(engine.master.first(3).paused());
    EXPECT_EQ(back_color(first.C_gn[1]), 0xE0E0E0);

    QTest::mouseClick(first.C_gn[1], Qt::LeftButton);
    first.a_set_ys(0xC0FFC0);
    EXPECT_EQ(back_color(first.C_gn[1]), 0xC0FFC0) << "the scheme replaces the red";
    EXPECT_TRUE(engine.master.first(3).paused()) << "and the slot stays paused";
    QTest::mouseClick(first.C_gn[1], Qt::LeftButton);
    EXPECT_EQ(back_color(first.C_gn[1]), 0xC0FFC0);
}

TEST_F(SlotPanelTest, SecondKindListsHoldTheRuleLinesAndTheSwitchesExcludeEachOther) {
    EXPECT_EQ(second.combox[0]->a_Count(), 1446);
    EXPECT_EQ(second.combox[1]->a_Count(), 1440);
    EXPECT_EQ(second.combox[0]->a_txt(), "每小时的第5分钟重启");
    EXPECT_EQ(second.combox[1]->a_txt(), "20:01:00");

    QTest::mouseClick(second.Check_auto[1], Qt::LeftButton);
    QTest::mouseClick(second.Check_auto[0], Qt::LeftButton);
    const Slot& slot = engine.master.second(2);
    EXPECT_EQ(slot.switch_value(0), 1);
    EXPECT_EQ(slot.switch_value(1), 0);
    EXPECT_TRUE(second.Check_auto[0]->isChecked());
    EXPECT_FALSE(second.Check_auto[1]->isChecked());
    EXPECT_EQ(back_color(second.combox[0]->findChild<QLineEdit*>("T_dd")), 0xFFFFFF);
    EXPECT_EQ(back_color(second.combox[1]->findChild<QLineEdit*>("T_dd")), 0xE0E0E0);
}

TEST_F(SlotPanelTest, TypedRuleReachesTheSlot) {
    auto* field = second.combox[0]->findChild<QLineEdit*>("T_dd");
    field->clear();
    QTest::keyClicks(field, " 07:30:00 ");
    EXPECT_EQ(engine.master.second(2).a_txt(0), "07:30:00");
}

struct DropCase {
    const char* name;
    std::vector<std::string> files; // names in the scratch folder
    bool box_shown;
    const char* path_after; // name in the scratch folder, or "" for unchanged
};

class DropTest : public SlotPanelTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, OnlyProgramsAndLaunchersToProgramsAreTaken) {
    const DropCase& c = GetParam();
    const std::string program = dir.file("game", "#!/bin/sh\n", true);
    dir.file("other", "#!/bin/sh\n", true);
    dir.file("readme.txt", "hello");
    dir.file("app.desktop", "[Desktop Entry]\nType=Application\nExec=\"" + program + "\" %U\n",
             true);
    dir.file("doc.desktop", "[Desktop Entry]\nType=Application\nExec=" +
                                (dir.path() / "readme.txt").string() + "\n");

    Slot& slot = engine.master.first(3);
    const std::string before =
        "/old/prog[*]20[*]9[*]9[*]9[*]1*2[*][*][*][*]0[*]0[*][*]20:01[*][*][*]";
    slot.a_set_canshu(before);
    std::vector<std::string> paths;
    for (const std::string& f : c.files)
        paths.push_back((dir.path() / f).string());

    const ShownBox box = catch_message_box([&] { drop_files(first.T_guajitxt, paths); });

    EXPECT_EQ(box.shown, c.box_shown);
    if (c.box_shown) {
        EXPECT_EQ(box.title, "错误提示");
        EXPECT_EQ(box.text, "请拖入exe程序，不要拖入其它格式的文件");
    }
    if (*c.path_after) {
        EXPECT_EQ(first.T_guajitxt->text().toStdString(), (dir.path() / c.path_after).string());
        EXPECT_EQ(fore_color(first.T_guajitxt), 1);
        EXPECT_EQ(first.Combo1[0]->currentText(), "8");
        EXPECT_TRUE(first.Tzuobiao[0]->text().isEmpty());
        EXPECT_EQ(back_color(first.Tzuobiao[0]), 0xF9F9F4);
    } else {
        EXPECT_EQ(slot.a_get_canshu(), before);
        EXPECT_EQ(first.T_guajitxt->text(), "/old/prog");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DropTest,
    ::testing::Values(DropCase{"Executable", {"game"}, false, "game"},
                      DropCase{"Launcher", {"app.desktop"}, false, "game"},
                      DropCase{"TextFile", {"readme.txt"}, true, ""},
                      DropCase{"ThreeFiles", {"other", "game", "readme.txt"}, false, "other"},
                      DropCase{"FirstOfThreeIsText", {"readme.txt", "game", "other"}, true, ""},
                      DropCase{"LauncherToDocument", {"doc.desktop"}, false, ""},
                      DropCase{"MissingLauncher", {"gone.desktop"}, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SlotPanelTest, TextDragsAreTypingNotFileDrops) {
    engine.master.first(3).a_set_canshu(
        "/old[*]20[*]9[*]9[*]9[*]1*2[*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    QMimeData data;
    data.setText("/typed/by/drag");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const ShownBox box = catch_message_box([&] {
        QApplication::sendEvent(first.T_guajitxt, &enter);
        QApplication::sendEvent(first.T_guajitxt, &drop);
    });
    EXPECT_FALSE(box.shown);
    EXPECT_EQ(engine.master.first(3).delay(0), "20") << "no drop handler, so nothing was cleared";
    EXPECT_EQ(engine.master.first(3).position(0), "1*2");
}

} // namespace
} // namespace keeprun::testing
