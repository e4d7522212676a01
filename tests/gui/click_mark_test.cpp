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

// Device pixels to logical ones on a main screen at 150 %, one to its left at
// 100 % and one above it at 200 %.
TEST(ClickMark, IsPlacedOnTheScreenThatHoldsThePointAtItsScale) {
    const std::vector<ScreenScale> screens = {{QRect(0, 0, 1920, 1080), 1.5},
                                              {QRect(-1500, 0, 1500, 1000), 1.0},
                                              {QRect(0, -800, 1280, 800), 2.0}};
    const std::pair<QPoint, QPoint> cases[] = {
        {{1500, 300}, {1000, 200}}, {{2879, 1619}, {1919, 1079}}, {{-1500, 300}, {-1500, 300}},
        {{-1, 999}, {-1, 999}},     {{100, -700}, {50, -750}},    {{5000, 5000}, {3333, 3333}},
    };
    for (const auto& [device, logical] : cases)
        EXPECT_EQ(logical_point(screens, device), logical) << device.x() << "," << device.y();
}

} // namespace
} // namespace keeprun
