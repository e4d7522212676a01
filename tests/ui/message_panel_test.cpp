#include "tests/support/wait_until.h"
#include "ui/control_color.h"
#include "ui/message_panel.h"
#include "ui/picture_box.h"
#include "ui/units.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace keeprun;
using keeprun::testing::wait_until;

namespace {

struct MessagePanelTest : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLabel* other = nullptr;
    MessagePanel* box = nullptr;

    void SetUp() override {
        window->resize(tw(15660), tw(8325));
        box = new MessagePanel(window.get());
        box->setGeometry(tw_rect(10590, 570, 5055, 3615));
        // A control made after the box would cover it unless the box is raised.
        other = new QLabel("over", window.get());
        other->setGeometry(box->geometry());
        window->show();
    }
    QLabel* label() const { return box->findChild<QLabel*>("countdown_label"); }
    QPushButton* button() const { return box->findChild<QPushButton*>("confirm_button"); }
    QTimer* timer(const char* name) const { return box->findChild<QTimer*>(name); }
    QWidget* frame() const { return box->findChild<QWidget*>("frame"); }
    bool open() const { return box->open_state() == 1 && box->isVisible(); }
    bool closed() const {
        return box->open_state() == 0 && !box->isVisible() &&
               !timer("countdown_timer")->isActive() && !timer("flash_timer")->isActive() &&
               label()->isHidden();
    }
};

const QString kSecondInstance =
    "[*]多开提示[*]OK[*]1[*]10[*][*][*]\r\n本软件已经打开了，不要重复打开\r\n本界面将自动关闭";

TEST_F(MessagePanelTest, StartsClosed) {
    EXPECT_TRUE(closed());
}

TEST_F(MessagePanelTest, CountsDownTenTicksThenCloses) {
    ASSERT_TRUE(box->show_message(kSecondInstance));
    EXPECT_TRUE(open());
    EXPECT_EQ(button()->text(), "OK");
    EXPECT_TRUE(label()->isVisible());
    EXPECT_EQ(label()->text(), "10 秒后自动关闭");
    EXPECT_EQ(timer("countdown_timer")->interval(), 1000);
    EXPECT_TRUE(timer("countdown_timer")->isActive());
    EXPECT_EQ(timer("flash_timer")->interval(), 300);
    EXPECT_TRUE(timer("flash_timer")->isActive());
    EXPECT_LT(label()->geometry().right(), button()->x()); // the count never covers the button
    box->countdown_tick();
    EXPECT_EQ(label()->text(), "9 秒后自动关闭");
    for (int i = 0; i < 8; ++i)
        box->countdown_tick();
    EXPECT_TRUE(open());
    EXPECT_EQ(box->seconds_left(), 1);
    box->countdown_tick();
    EXPECT_TRUE(closed());
    EXPECT_EQ(box->seconds_left(), 0);
}

TEST_F(MessagePanelTest, RaisedAboveTheWindowsOtherControls) {
    box->show_message(kSecondInstance);
    const QPoint centre = box->geometry().center();
    QWidget* top = window->childAt(centre);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top == box || box->isAncestorOf(top));
}

TEST_F(MessagePanelTest, SecondsReadAndRoundedHalfToEven) {
    const struct {
        const char* field;
        int seconds_left;
    } cases[] = {{"6.5", 6}, {"7.5", 8}, {"", 0}, {"abc", 0}, {" 1 2", 12}, {"3s", 3}, {"20", 20}};
    for (const auto& c : cases) {
        box->show_message(QString("[*]t[*]OK[*]1[*]%1[*][*][*]").arg(c.field));
        EXPECT_EQ(box->seconds_left(), c.seconds_left) << c.field;
        EXPECT_EQ(label()->text(), QString::number(c.seconds_left) + " 秒后自动关闭") << c.field;
    }
}

TEST_F(MessagePanelTest, OnlyExactlyOneStartsTheCountdown) {
    for (const char* field : {"0", "", " 1", "1 ", "01", "yes"}) {
        auto fresh = std::make_unique<MessagePanel>(window.get());
        fresh->show_message(QString("[*]t[*]好[*]%1[*]5[*][*][*]\r\nx").arg(field));
        EXPECT_EQ(fresh->open_state(), 1) << field;
        EXPECT_FALSE(fresh->findChild<QTimer*>("countdown_timer")->isActive()) << field;
        EXPECT_TRUE(fresh->findChild<QLabel*>("countdown_label")->isHidden()) << field;
    }
}

TEST_F(MessagePanelTest, EmptyNonNumericOrNegativeSecondsCloseOnTheFirstTick) {
    for (const char* field : {"", "abc", "-5", "-1e30"}) {
        box->show_message(QString("[*]t[*]OK[*]1[*]%1[*][*][*]").arg(field));
        box->countdown_tick();
        EXPECT_TRUE(closed()) << field;
    }
}

TEST_F(MessagePanelTest, ShortSpecLineRefusedWithoutOpening) {
    for (const char* req : {"", "[*]t[*]OK[*]1", "no fields\r\nbody"}) {
        EXPECT_FALSE(box->show_message(req)) << req;
        EXPECT_TRUE(closed()) << req;
    }
}

TEST_F(MessagePanelTest, ShortSpecLineLeavesAnOpenBoxAsItWas) {
    box->show_message(kSecondInstance);
    EXPECT_FALSE(box->show_message("[*]x[*]y"));
    EXPECT_TRUE(open());
    EXPECT_EQ(button()->text(), "OK");
}

TEST_F(MessagePanelTest, SecondShowRestartsCountdownOrLetsItRun) {
    box->show_message(kSecondInstance);
    box->countdown_tick();
    box->show_message("[*]t[*]我已阅读[*]1[*]20[*][*][*]\r\n公告");
    EXPECT_EQ(button()->text(), "我已阅读");
    EXPECT_EQ(box->seconds_left(), 20);
    // Without a countdown of its own, the running one goes on and still closes the box.
    box->show_message("[*]t[*]知道了[*]0[*]0[*][*][*]\r\nother");
    EXPECT_EQ(button()->text(), "知道了");
    EXPECT_TRUE(timer("countdown_timer")->isActive());
    for (int i = 0; i < 19; ++i)
        box->countdown_tick();
    EXPECT_TRUE(open());
    box->countdown_tick();
    EXPECT_TRUE(closed());
}

TEST_F(MessagePanelTest, ButtonClosesAtOnceAndLaterBoxHasNoLabel) {
    box->show_message(kSecondInstance);
    button()->click();
    EXPECT_TRUE(closed());
    box->show_message("[*]t[*]OK[*]0[*]5[*][*][*]\r\nx");
    EXPECT_TRUE(open());
    EXPECT_TRUE(label()->isHidden());
    EXPECT_FALSE(timer("countdown_timer")->isActive());
}

TEST_F(MessagePanelTest, EnterSpaceOrEscapeCloseItAndTheFocusGoesBack) {
    auto* edit = new QLineEdit(window.get());
    edit->show();
    edit->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        box->show_message(kSecondInstance);
        ASSERT_EQ(window->focusWidget(), button()) << key;
        QTest::keyClick(window->focusWidget(), key);
        EXPECT_TRUE(closed()) << key;
        EXPECT_EQ(window->focusWidget(), edit) << key;
    }
}

TEST_F(MessagePanelTest, FrameBlinksAndKeepsItsColourWhenClosed) {
    box->show_message(kSecondInstance);
    EXPECT_EQ(back_color(frame()), 0xC0FFC0);
    box->flash_tick();
    EXPECT_EQ(back_color(frame()), 0xFF);
    box->flash_tick();
    EXPECT_EQ(back_color(frame()), 0xC0FFC0);
    box->flash_tick();
    button()->click();
    EXPECT_EQ(back_color(frame()), 0xFF);
    box->show_message(kSecondInstance);
    box->flash_tick();
    EXPECT_EQ(back_color(frame()), 0xC0FFC0);
}

// Rows of the text area that hold blue text pixels.
std::vector<int> blue_rows(const PictureBox* pick) {
    const QImage& img = pick->picture();
    const double row = img.height() / 9.0;
    std::vector<int> rows;
    for (int r = 0; r < 9; ++r) {
        bool blue = false;
        for (int y = static_cast<int>(r * row); y < static_cast<int>((r + 1) * row) && !blue; ++y)
            for (int x = 0; x < img.width() && !blue; ++x) {
                const QColor c = img.pixelColor(x, y);
                blue = c.blue() > 200 && c.red() < 100 && c.green() < 100;
            }
        if (blue) rows.push_back(r + 1);
    }
    return rows;
}

TEST_F(MessagePanelTest, BodyLinesFillTheirRowsInBlue) {
    box->show_message("[*]t[*]OK[*]0[*]0[*][*][*]\r\n第一行\r\n\r\n第三行");
    const auto* pick = box->findChild<PictureBox*>("text_box");
    EXPECT_EQ(blue_rows(pick), (std::vector<int>{1, 3}));
    QString twelve = "[*]t[*]OK[*]0[*]0[*][*][*]";
    for (int i = 1; i <= 12; ++i)
        twelve += QString("\r\n行%1").arg(i);
    box->show_message(twelve);
    EXPECT_EQ(blue_rows(pick), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(MessagePanelTest, RealTimerClosesTheBoxByItself) {
    box->show_message("[*]复制提示[*]OK[*]1[*]1[*][*][*]\r\n复制坐标成功，请到软件内粘贴");
    EXPECT_TRUE(wait_until([&] { return closed(); }));
}

} // namespace
