// The slot panels: what they show, how edits reach the slot, and file drops.
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/slot_panel.h"
#include "gui_support.h"
#include "ui/control_color.h"
#include "ui/drop_down_box.h"

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

// The panels repaint when the session says their slot changed, as the window has them.
class SlotPanelTest : public ::testing::Test, SessionListener {
  protected:
    SlotPanelTest() { engine.session.add_listener(*this); }
    ~SlotPanelTest() override { engine.session.remove_listener(*this); }
    void slot_changed(int n) override {
        if (n == 3) first.show_slot();
        if (n == 6) second.show_slot();
    }

    Engine engine;
    TempDir dir;
    SlotPanel first{engine.master.first(3), nullptr};
    SlotPanel second{engine.master.second(2), nullptr};
};

TEST_F(SlotPanelTest, FreshFirstKindShowsItsNumberHintDelaysAndUnsetPositions) {
    EXPECT_EQ(first.name_label->text(), "程序3");
    EXPECT_TRUE(first.path_box->text().isEmpty()) << "a click lands in an empty box";
    EXPECT_EQ(first.path_box->placeholderText(), "拖入此方框");
    EXPECT_EQ(engine.master.first(3).path_text(), "拖入此方框") << "the slot keeps the hint";
    EXPECT_EQ(fore_color(first.path_box), 0x808080);
    const char* delays[4] = {"8", "3", "3", "3"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(first.delay_lists[i]->currentText(), delays[i]);
        EXPECT_TRUE(first.position_boxes[i]->text().isEmpty());
        EXPECT_EQ(back_color(first.position_boxes[i]), 0xF9F9F4);
        EXPECT_EQ(fore_color(first.position_boxes[i]), 0x808080);
    }
    EXPECT_EQ(first.delay_lists[0]->count(), 55);
    EXPECT_EQ(first.delay_lists[1]->count(), 59);
    EXPECT_EQ(first.action_buttons[1]->text(), "暂停");
    EXPECT_EQ(first.rule_switches[0], nullptr);
}

TEST_F(SlotPanelTest, TypedFieldsReachTheSlotAndRepaintTheMarks) {
    QTest::keyClicks(first.position_boxes[1], "12*3");
    QTest::keyClicks(first.position_boxes[2], "12*");
    QTest::keyClicks(first.position_boxes[3], "1*1[*]");
    first.delay_lists[1]->lineEdit()->clear();
    QTest::keyClicks(first.delay_lists[1]->lineEdit(), "2.5");
    first.path_box->selectAll();
    QTest::keyClicks(first.path_box, "/bin/sh");

    const Slot& slot = engine.master.first(3);
    EXPECT_EQ(slot.position(1), "12*3");
    EXPECT_EQ(slot.delay(1), "2.5");
    EXPECT_EQ(slot.path_text(), "拖入此方框") << "a typed path waits for the end of typing";
    QTest::keyClicks(first.path_box, "ort");
    QTest::keyClick(first.path_box, Qt::Key_Return);
    EXPECT_EQ(slot.path_text(), "/bin/short");
    EXPECT_EQ(first.path_box->text(), "/bin/short");
    EXPECT_EQ(back_color(first.position_boxes[1]), 0xFFFFFF);
    EXPECT_EQ(fore_color(first.position_boxes[1]), 1);
    EXPECT_EQ(back_color(first.delay_lists[1]), 0xFFFFFF);
    EXPECT_EQ(back_color(first.position_boxes[2]), 0xF9F9F4) << "12* lacks its second number";
    EXPECT_EQ(first.position_boxes[3]->text(), "1*1[*") << "the separator is refused";
    EXPECT_EQ(fore_color(first.path_box), 1) << "a path shows dark";
    EXPECT_TRUE(first.path_box->placeholderText().isEmpty());

    first.path_box->selectAll();
    QTest::keyClick(first.path_box, Qt::Key_Backspace);
    QTest::keyClick(first.path_box, Qt::Key_Return);
    EXPECT_EQ(slot.path_text(), "") << "an emptied box is stored empty";
    EXPECT_TRUE(first.path_box->placeholderText().isEmpty());
}

TEST_F(SlotPanelTest, LoadedDelaysStayVerbatimAndRoundTrip) {
    Slot& slot = engine.master.first(3);
    const std::string stored =
        "/opt/a/b[*]1[*]2.5[*]3[*]60[*]640*480[*][*]7*8[*][*]0[*]0[*][*]20:01[*][*][*]";
    slot.apply_param_string(stored);
    EXPECT_EQ(first.path_box->text(), "/opt/a/b");
    EXPECT_EQ(first.delay_lists[0]->currentText(), "1");
    EXPECT_EQ(first.delay_lists[1]->currentText(), "2.5");
    EXPECT_EQ(first.position_boxes[0]->text(), "640*480");
    EXPECT_EQ(first.position_boxes[2]->text(), "7*8");
    EXPECT_EQ(slot.to_param_string(), stored);
}

TEST_F(SlotPanelTest, ClearEmptiesPositionsAndResetsDelaysButKeepsTheSwitches) {
    Slot& slot = engine.master.second(2);
    slot.apply_param_string(
        "/x/y[*]20[*]9[*]9[*]9[*]1*2[*]3*4[*][*][*]0[*]1[*][*]20:05:00[*][*][*]");
    QTest::mouseClick(second.action_buttons[0], Qt::LeftButton);
    EXPECT_TRUE(second.path_box->text().isEmpty());
    EXPECT_EQ(second.path_box->placeholderText(), "设置时间后生效");
    EXPECT_EQ(second.delay_lists[0]->currentText(), "8");
    EXPECT_EQ(second.delay_lists[3]->currentText(), "3");
    EXPECT_TRUE(second.position_boxes[0]->text().isEmpty());
    EXPECT_TRUE(second.rule_switches[1]->isChecked());
    EXPECT_EQ(second.rule_lists[1]->text(), "20:05:00");
    EXPECT_TRUE(second.focus_sink->hasFocus() || !second.isVisible());
}

TEST_F(SlotPanelTest, PauseTurnsRedAndBackToTheSchemeColourNeverBlack) {
    QTest::mouseClick(first.action_buttons[1], Qt::LeftButton);
    EXPECT_TRUE(engine.master.first(3).paused());
    EXPECT_EQ(back_color(first.action_buttons[1]), 255);
    QTest::mouseClick(first.action_buttons[1], Qt::LeftButton);
    EXPECT_FALSE(engine.master.first(3).paused());
    EXPECT_EQ(back_color(first.action_buttons[1]), 0xE0E0E0);

    QTest::mouseClick(first.action_buttons[1], Qt::LeftButton);
    first.set_scheme_colour(0xC0FFC0);
    EXPECT_EQ(back_color(first.action_buttons[1]), 0xC0FFC0) << "the scheme replaces the red";
    EXPECT_TRUE(engine.master.first(3).paused()) << "and the slot stays paused";
    QTest::mouseClick(first.action_buttons[1], Qt::LeftButton);
    EXPECT_EQ(back_color(first.action_buttons[1]), 0xC0FFC0);
}

TEST_F(SlotPanelTest, SecondKindListsHoldTheRuleLinesAndTheSwitchesExcludeEachOther) {
    EXPECT_EQ(second.rule_lists[0]->count(), 1446);
    EXPECT_EQ(second.rule_lists[1]->count(), 1440);
    EXPECT_EQ(second.rule_lists[0]->text(), "每小时的第5分钟重启");
    EXPECT_EQ(second.rule_lists[1]->text(), "20:01:00");

    QTest::mouseClick(second.rule_switches[1], Qt::LeftButton);
    QTest::mouseClick(second.rule_switches[0], Qt::LeftButton);
    const Slot& slot = engine.master.second(2);
    EXPECT_EQ(slot.switch_value(0), 1);
    EXPECT_EQ(slot.switch_value(1), 0);
    EXPECT_TRUE(second.rule_switches[0]->isChecked());
    EXPECT_FALSE(second.rule_switches[1]->isChecked());
    EXPECT_EQ(back_color(second.rule_lists[0]->findChild<QLineEdit*>("edit")), 0xFFFFFF);
    EXPECT_EQ(back_color(second.rule_lists[1]->findChild<QLineEdit*>("edit")), 0xE0E0E0);
}

TEST_F(SlotPanelTest, TypedRuleReachesTheSlot) {
    auto* field = second.rule_lists[0]->findChild<QLineEdit*>("edit");
    field->clear();
    QTest::keyClicks(field, " 07:30:00 ");
    EXPECT_EQ(engine.master.second(2).rule_text(0), "07:30:00");
    engine.master.second(2).apply_param_string(
        "/p[*]8[*]3[*]3[*]3[*][*][*][*][*]0[*]1[*]6:5[*]7:30:15");
    EXPECT_EQ(second.rule_lists[1]->text(), "07:30:15") << "a stored typed time shows";
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
    slot.apply_param_string(before);
    std::vector<std::string> paths;
    for (const std::string& f : c.files)
        paths.push_back((dir.path() / f).string());

    const ShownBox box = catch_message_box([&] { drop_files(first.path_box, paths); });

    EXPECT_EQ(box.shown, c.box_shown);
    if (c.box_shown) {
        EXPECT_EQ(box.title, "错误提示");
        EXPECT_EQ(box.text, "请拖入exe程序，不要拖入其它格式的文件");
    }
    if (*c.path_after) {
        EXPECT_EQ(first.path_box->text().toStdString(), (dir.path() / c.path_after).string());
        EXPECT_EQ(fore_color(first.path_box), 1);
        EXPECT_EQ(first.delay_lists[0]->currentText(), "8");
        EXPECT_TRUE(first.position_boxes[0]->text().isEmpty());
        EXPECT_EQ(back_color(first.position_boxes[0]), 0xF9F9F4);
    } else {
        EXPECT_EQ(slot.to_param_string(), before);
        EXPECT_EQ(first.path_box->text(), "/old/prog");
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
    engine.master.first(3).apply_param_string(
        "/old[*]20[*]9[*]9[*]9[*]1*2[*][*][*][*]0[*]0[*][*]20:01[*][*][*]");
    QMimeData data;
    data.setText("/typed/by/drag");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const ShownBox box = catch_message_box([&] {
        QApplication::sendEvent(first.path_box, &enter);
        QApplication::sendEvent(first.path_box, &drop);
    });
    EXPECT_FALSE(box.shown);
    EXPECT_EQ(engine.master.first(3).delay(0), "20") << "no drop handler, so nothing was cleared";
    EXPECT_EQ(engine.master.first(3).position(0), "1*2");
}

} // namespace
} // namespace keeprun::testing
