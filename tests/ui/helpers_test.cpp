#include "ui/colour_scheme.h"
#include "ui/control_color.h"
#include "ui/control_helpers.h"
#include "ui/picture_box.h"
#include "ui/units.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

using namespace keeprun;

namespace {

TEST(Units, TwipsAndColours) {
    EXPECT_EQ(tw(15660), 1044);
    EXPECT_EQ(tw(8325), 555);
    EXPECT_EQ(tw(70), 5); // 4.67 px
    EXPECT_EQ(tw(50), 3); // 3.33 px
    EXPECT_EQ(tw(-30), -2);
    EXPECT_EQ(tw_rect(10590, 570, 5055, 3615), QRect(706, 38, 337, 241));
    EXPECT_EQ(win_color(0xFF), QColor(255, 0, 0));
    EXPECT_EQ(win_color(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(win_color(0x00C0FFC0), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(win_color(static_cast<std::int32_t>(0xFF102030)), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(win_value(QColor(0x30, 0x20, 0x10)), 0x102030);
}

struct ListCase {
    int lines;
    int cd;
    int count;
    int selected; // -1: none
};

TEST(ListAddNews, KeepsAtMostCdLinesAndShowsTheNewest) {
    const ListCase cases[] = {
        {1000, 1000, 1000, 999}, {999, 1000, 1000, 999}, {1005, 1000, 1005, 1004},
        {2, 1000, 3, 2},         {1, 1000, 2, -1},       {0, 1000, 1, -1},
    };
    for (const auto& c : cases) {
        QListWidget list;
        for (int i = 0; i < c.lines; ++i)
            list.addItem(QString("old %1").arg(i));
        list_append(&list, "  12:00:00 打开程序1  ", c.cd);
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(list.count(), c.count);
        EXPECT_EQ(list.item(list.count() - 1)->text(), "12:00:00 打开程序1");
        EXPECT_EQ(list.currentRow(), c.selected);
        EXPECT_EQ(list.selectedItems().size(), c.selected < 0 ? 0 : 1);
        if (c.lines == c.cd) {
            EXPECT_EQ(list.item(0)->text(), "old 1");
        }
    }
}

TEST(ListAddNews, ThousandLinesStayAThousandOverManyAdds) {
    QListWidget list;
    for (int i = 0; i < 1500; ++i)
        list_append(&list, QString("line %1").arg(i), 1000);
    EXPECT_EQ(list.count(), 1000);
    EXPECT_EQ(list.item(0)->text(), "line 500");
    EXPECT_EQ(list.currentRow(), 999);
}

TEST(ListHelpers, LoseAndGoToLast) {
    QListWidget list;
    list_unselect_last(&list);
    list_select_last(&list);
    list.addItems({"a", "b"});
    list_select_last(&list);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    list.addItem("c");
    list_select_last(&list);
    EXPECT_TRUE(list.item(2)->isSelected());
    list_unselect_last(&list);
    EXPECT_FALSE(list.item(2)->isSelected());
}

// A box whose horizontal unit is exactly the width of "abc" in the given font.
struct CellTest : testing::Test {
    PictureBox box;
    double unit_px = 0;
    void SetUp() override {
        box.resize(400, 200);
        box.set_font_size(12);
        box.set_bold(false);
        unit_px = box.text_width("abc");
        box.set_scale(0, 0, 400 / unit_px, 10);
        box.clear();
    }
};

TEST_F(CellTest, HorizontalAndVerticalPlacement) {
    ASSERT_NEAR(box.text_width("abc"), 1.0, 1e-9);
    const double h = box.text_height("abc");
    const QPointF right = draw_text_right(&box, 2, 3, "abc", 12, false, 0);
    EXPECT_NEAR(right.x(), 2.0, 1e-6);
    EXPECT_NEAR(right.y(), 3 + (1 - h) / 1.8, 1e-6);
    EXPECT_LT(draw_text_right(&box, 2, 3, "abcabc", 12, false, 0).x(), 2.0);
    EXPECT_NEAR(draw_text_right(&box, 2, 3, "abcabc", 12, false, 0).x(), 1.0, 1e-6);
    EXPECT_NEAR(draw_text_left(&box, 2, 3, "abcabc", 12, false, 0).x(), 2.0, 1e-6);
    EXPECT_NEAR(draw_text_centred(&box, 2, 3, "abcabc", 12, false, 0).x(), 2 + (1 - 2.0) / 1.85,
                1e-6);
}

TEST_F(CellTest, SetsFontAndColourAndDrawsInIt) {
    draw_text_left(&box, 0, 0, "■■", 20, true, 0xFF);
    EXPECT_DOUBLE_EQ(box.text_font().pointSizeF(), 20);
    EXPECT_TRUE(box.text_font().bold());
    bool red = false;
    const QImage& img = box.picture();
    for (int y = 0; y < 40 && !red; ++y)
        for (int x = 0; x < 60 && !red; ++x)
            red = img.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
}

TEST_F(CellTest, NonFinitePositionIsAnError) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_THROW(draw_text_centred(&box, inf, 0, "a", 9, false, 0), std::overflow_error);
    EXPECT_THROW(draw_text_left(&box, 0, std::nanf(""), "a", 9, false, 0), std::overflow_error);
}

TEST(Shapes, LineCircleAndRectanglesUseTheirColours) {
    PictureBox box;
    box.resize(100, 100);
    box.set_back(0xFFFFFF);
    draw_filled_rect_on(&box, 10, 10, 30, 30, 0xFF0000);
    draw_frame_on(&box, 50, 50, 90, 90, 0xFF);
    draw_circle_on(&box, 70, 20, 8, 0x00FF00, 0x00FF00);
    draw_line_on(&box, 0, 95, 99, 95, 2.5f, 0); // 2.5 rounds to 2
    const QImage& img = box.picture();
    EXPECT_EQ(img.pixelColor(20, 20), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(50, 70), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(70, 70), QColor(255, 255, 255)); // outline only
    EXPECT_EQ(img.pixelColor(70, 20), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(50, 95), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(50, 98), QColor(255, 255, 255));
}

TEST(TextHelpers, RangeCheckWritesBackOnlyWhenOutside) {
    const struct {
        const char* text;
        int result;
        const char* after;
    } cases[] = {{"75", 59, "59"},  {"abc", 1, "1"}, {"30", 30, "30"},
                 {"2.5", 2, "2.5"}, {"0", 1, "1"},   {"59.5", 59, "59"}};
    for (const auto& c : cases) {
        QLineEdit box(c.text);
        EXPECT_EQ(clamp_box_number(&box, 1, 59), c.result) << c.text;
        EXPECT_EQ(box.text(), c.after) << c.text;
    }
}

TEST(ButtonHelpers, ToggleBetweenTwoColours) {
    QPushButton b;
    set_back_color(&b, 0xE0E0E0);
    toggle_button_colour(&b, 0xFF, 0xE0E0E0);
    EXPECT_EQ(back_color(&b), 0xFF);
    toggle_button_colour(&b, 0xFF, 0xE0E0E0);
    EXPECT_EQ(back_color(&b), 0xE0E0E0);
    set_back_color(&b, 0x123456); // neither: back to the old colour
    toggle_button_colour(&b, 0xFF, 0xE0E0E0);
    EXPECT_EQ(back_color(&b), 0xE0E0E0);
    toggle_button_colour(nullptr, 0, 0);
}

class Recorder : public SchemeWindow {
  public:
    struct Slot : SchemeSlot {
        Recorder* r;
        QString name;
        void set_scheme_colour(std::int32_t colour) override {
            r->log << name + "=" + QString::number(colour, 16);
        }
    };
    QStringList log;
    Slot fa1[5], fa2[5];
    Recorder() {
        for (int k = 1; k <= 4; ++k) {
            fa1[k].r = fa2[k].r = this;
            fa1[k].name = QString("fa1(%1)").arg(k);
            fa2[k].name = QString("fa2(%1)").arg(k);
        }
    }
    void set_window_back(std::int32_t colour) override {
        log << "form=" + QString::number(colour, 16);
    }
    void set_start_minimised_back(std::int32_t colour) override {
        log << "check=" + QString::number(colour, 16);
    }
    void set_panel_back(int i, std::int32_t colour) override {
        log << QString("panel(%1)=").arg(i) + QString::number(colour, 16);
    }
    SchemeSlot& keep_alive_panel(int k) override { return fa1[k]; }
    SchemeSlot& timed_panel(int k) override { return fa2[k]; }
};

TEST(ColourScheme, PaintsInOrderAndRemembersTheColour) {
    Recorder w;
    apply_colour_scheme("H00C0FFC0", w);
    QStringList want = {"form=c0ffc0", "check=c0ffc0"};
    for (int i = 0; i <= 6; ++i)
        want << QString("panel(%1)=c0ffc0").arg(i);
    for (int k = 1; k <= 4; ++k)
        want << QString("fa1(%1)=c0ffc0").arg(k) << QString("fa2(%1)=c0ffc0").arg(k);
    EXPECT_EQ(w.log, want);
    EXPECT_EQ(scheme_colour(), 0xC0FFC0);

    Recorder untouched;
    EXPECT_THROW(apply_colour_scheme("light green", untouched), std::invalid_argument);
    EXPECT_TRUE(untouched.log.isEmpty());
    EXPECT_EQ(scheme_colour(), 0xC0FFC0);
}

} // namespace
