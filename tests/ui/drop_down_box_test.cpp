#include "tests/support/wait_until.h"
#include "ui/drop_down_box.h"
#include "ui/units.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace keeprun;
using keeprun::testing::wait_until;

namespace {

QStringList clock_times() {
    QStringList t;
    for (int m = 0; m < 1440; ++m)
        t << QString("%1:%2:00").arg(m / 60, 2, 10, QChar('0')).arg(m % 60, 2, 10, QChar('0'));
    return t;
}

// A main window with a slot panel holding the combo box, as the timed slots do.
struct ComboTest : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QWidget* slot = nullptr;
    QLabel* label = nullptr;
    DropDownBox* combo = nullptr;

    void SetUp() override {
        window->resize(tw(15660), tw(8325));
        slot = new QWidget(window.get());
        slot->setGeometry(tw_rect(120, 4800, 12015, 600));
        combo = new DropDownBox(slot);
        combo->setGeometry(tw_rect(7560, 30, 2475, 285));
        label = new QLabel("heading", window.get());
        label->setGeometry(tw_rect(0, 0, 3000, 300));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(wait_until([&] { return list()->width() == combo->width(); }));
    }
    QListView* list() const { return window->findChild<QListView*>("item_list"); }
    QLineEdit* edit() const { return combo->findChild<QLineEdit*>("edit"); }
    QPushButton* arrow() const { return combo->findChild<QPushButton*>("drop_button"); }
};

TEST_F(ComboTest, AddItemsShowsTheChosenOne) {
    combo->set_items({"A", "B", "C"}, 1);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->text(), "B");
    EXPECT_EQ(combo->item_text(2), "C");
    combo->add_item("D");
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->item_text(3), "D");
}

TEST_F(ComboTest, AddItemsWithBadIndexFillsListThenFails) {
    combo->set_items({"x"}, 0);
    EXPECT_THROW(combo->set_items({"A", "B", "C"}, 3), std::out_of_range);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->text(), "");
    EXPECT_THROW(combo->set_items({"A"}, -1), std::out_of_range);
}

TEST_F(ComboTest, IndexesNarrowToSixteenBits) {
    combo->set_items(clock_times(), 0);
    combo->select_index(1201);
    EXPECT_EQ(combo->text(), "20:01:00");
    EXPECT_THROW(combo->select_index(32768), std::overflow_error);
    EXPECT_THROW(combo->item_text(40000), std::overflow_error);
    EXPECT_EQ(combo->item_text(32767), "");
    combo->select_index(5000);
    EXPECT_EQ(combo->text(), "20:01:00");
}

TEST_F(ComboTest, TextLosesSurroundingBlanks) {
    edit()->setText("  12:00:00 ");
    EXPECT_EQ(combo->text(), "12:00:00");
}

TEST_F(ComboTest, LayoutFollowsTheWidth) {
    EXPECT_EQ(edit()->width(), tw(2160));
    EXPECT_EQ(arrow()->x(), tw(2160));
    EXPECT_EQ(arrow()->width(), tw(315));
    EXPECT_EQ(combo->height(), tw(285));
    EXPECT_EQ(list()->width(), tw(2475));
    combo->resize(tw(1605), combo->height());
    ASSERT_TRUE(wait_until([&] { return list()->width() == tw(1605); }));
    EXPECT_EQ(edit()->width(), tw(1605 - 315));
    EXPECT_EQ(arrow()->x(), tw(1605 - 315));
}

TEST_F(ComboTest, OpensOverTheMainWindowAtTheOwnersTop) {
    combo->set_items({"A", "B", "C"}, 1);
    combo->set_list_top(4710);
    QTest::mouseClick(arrow(), Qt::LeftButton);
    ASSERT_TRUE(combo->is_open());
    EXPECT_EQ(list()->parentWidget(), window.get());
    EXPECT_EQ(list()->pos(), QPoint(combo->x() + tw(50), tw(4710)));
    EXPECT_EQ(window->children().last(), list()); // above every other control
    EXPECT_TRUE(wait_until([&] { return list()->hasFocus(); }));
    EXPECT_EQ(list()->currentIndex().row(), 1);
}

TEST_F(ComboTest, WithoutTopItOpensAtTheWindowsTopEdge) {
    combo->set_items({"A"}, 0);
    combo->open_list();
    EXPECT_EQ(list()->y(), 0);
}

TEST_F(ComboTest, ArrowKeyChoosesAndCloses) {
    combo->set_items({"A", "B", "C"}, 1);
    combo->open_list();
    ASSERT_TRUE(wait_until([&] { return list()->hasFocus(); }));
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_FALSE(combo->is_open());
    EXPECT_EQ(combo->text(), "C");
    EXPECT_EQ(list()->parentWidget(), combo);
    EXPECT_TRUE(wait_until([&] { return edit()->hasFocus(); }));
    // Up from the first item moves nothing, so nothing is chosen.
    combo->select_index(0);
    combo->open_list();
    QTest::keyClick(list(), Qt::Key_Up);
    EXPECT_TRUE(combo->is_open());
}

TEST_F(ComboTest, MouseChoiceCopiesTheItem) {
    combo->set_items({"A", "B", "C"}, 0);
    combo->open_list();
    const QRect r = list()->visualRect(list()->model()->index(2, 0));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_FALSE(combo->is_open());
    EXPECT_EQ(combo->text(), "C");
}

TEST_F(ComboTest, ClosesWithoutChoiceOnPressElsewhereOrDeactivation) {
    combo->set_items({"A", "B"}, 0);
    combo->open_list();
    QTest::mousePress(label, Qt::LeftButton);
    EXPECT_FALSE(combo->is_open());
    EXPECT_EQ(combo->text(), "A");

    combo->open_list();
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(window.get(), &deactivate);
    EXPECT_FALSE(combo->is_open());

    combo->open_list();
    QTest::keyClick(list(), Qt::Key_F2);
    EXPECT_EQ(list()->findChild<QLineEdit*>(), nullptr) << "the items are not for editing";
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(combo->is_open());
    EXPECT_EQ(combo->text(), "A");
}

TEST_F(ComboTest, ScrollingTheOpenListKeepsItOpen) {
    combo->set_items(clock_times(), 600);
    combo->open_list();
    QWidget* bar = list()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    EXPECT_TRUE(combo->is_open());
}

TEST_F(ComboTest, ItemsSurviveOpeningAndAFullClockListOpensOnItsItem) {
    QStringList items = clock_times();
    for (int i = 0; i < 6; ++i)
        items.prepend(QString("rule %1").arg(i));
    combo->set_items(items, 1446 - 1);
    for (int i = 0; i < 3; ++i) {
        combo->open_list();
        EXPECT_TRUE(combo->is_open());
        EXPECT_EQ(list()->currentIndex().row(), 1445);
        combo->close_list();
    }
    EXPECT_EQ(combo->count(), 1446);
    EXPECT_EQ(combo->text(), "23:59:00");
}

TEST(ComboOwnership, ClosingTheWindowWhileOpenFreesTheList) {
    auto window = std::make_unique<QWidget>();
    auto* combo = new DropDownBox(window.get());
    combo->set_items({"A"}, 0);
    window->show();
    combo->open_list();
    delete combo;
    EXPECT_EQ(window->findChild<QListView*>("item_list"), nullptr);
}

} // namespace
