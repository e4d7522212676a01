// The click mark: a ring round the click point for a moment, never in the way.
#include <QApplication>
#include <gtest/gtest.h>

#include "system/delay.h"
#include "ui/click_mark.h"

namespace keeprun {
namespace {

ClickMark* find_mark() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* mark = dynamic_cast<ClickMark*>(w)) return mark;
    return nullptr;
}

TEST(ClickMark, ShowsARingRoundThePointWhileItWaitsThenGoes) {
    bool seen_visible = false;
    QRect seen_box;
    set_message_pump([&] {
        if (ClickMark* mark = find_mark(); mark && mark->isVisible()) {
            seen_visible = true;
            seen_box = mark->geometry();
        }
        QCoreApplication::processEvents();
    });
    show_click_mark(Qt::red, 300, 200);
    set_message_pump([] { QCoreApplication::processEvents(); });

    EXPECT_TRUE(seen_visible);
    EXPECT_EQ(seen_box.center(), QPoint(300, 200));
    EXPECT_GE(seen_box.width(), 2 * (ClickMark::kRadius + ClickMark::kPenWidth / 2));
    ClickMark* mark = find_mark();
    ASSERT_NE(mark, nullptr);
    EXPECT_FALSE(mark->isVisible());
    EXPECT_TRUE(mark->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(mark->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(mark->windowFlags().testFlag(Qt::X11BypassWindowManagerHint));
    // The ring is the only part that is drawn: its centre lets everything through.
    EXPECT_FALSE(mark->mask().contains(mark->rect().center()));
    EXPECT_TRUE(mark->mask().contains(
        QPoint(mark->rect().center().x() + ClickMark::kRadius, mark->rect().center().y())));
}

} // namespace
} // namespace keeprun
