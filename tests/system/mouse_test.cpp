#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

#include "system/copy_hotkey.h"
#include "system/mouse.h"
#include "system/pointer_motion.h"
#include "tests/support/wait_until.h"
#include "tests/system/xvfb.h"

namespace keeprun {
namespace {

TEST(Mouse, WithoutADisplayItSaysSoAndDoesNothing) {
    unsetenv("DISPLAY");
    EXPECT_NE(mouse_open(nullptr), "");
    EXPECT_EQ(cursor_pos(), std::nullopt);
    bool marked = false;
    EXPECT_FALSE(click_at("10*10", [&] { marked = true; }));
    EXPECT_FALSE(marked);
    EXPECT_FALSE(desktop_takes_input());
    EXPECT_NE(copy_hotkey_open(nullptr), "");
    copy_hotkey_on_news([] {}, [](int, std::function<void()>) { ADD_FAILURE() << "closed"; });
    EXPECT_FALSE(copy_hotkey_down());
    EXPECT_FALSE(copy_hotkey_pressed());
    EXPECT_NE(pointer_motion_open(nullptr), "");
    EXPECT_EQ(pointer_motion_descriptor(), -1);
    EXPECT_FALSE(pointer_moved());
}

// A window of the test that records the clicks it receives.
class ClickTarget {
  public:
    ClickTarget(const std::string& display, int x, int y) : d_(XOpenDisplay(display.c_str())) {
        if (!d_) return;
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        attrs.event_mask = ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
        w_ = XCreateWindow(d_, DefaultRootWindow(d_), x, y, 300, 200, 0, CopyFromParent,
                           InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask, &attrs);
        XMapRaised(d_, w_);
        XFlush(d_);
        mapped_ = next_event(MapNotify).has_value();
    }
    ~ClickTarget() {
        if (d_) XCloseDisplay(d_);
    }

    bool mapped() const { return mapped_; }

    std::optional<XEvent> next_event(int type) {
        std::optional<XEvent> found;
        testing::wait_until([&] {
            while (!found && XPending(d_)) {
                XEvent e;
                XNextEvent(d_, &e);
                if (e.type == type) found = e;
            }
            return found.has_value();
        });
        return found;
    }

    // Holds the pointer as a screen locker does, or lets it go.
    bool grab_pointer(bool hold) {
        const bool done =
            !hold || XGrabPointer(d_, w_, False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                                  None, None, CurrentTime) == GrabSuccess;
        if (!hold) XUngrabPointer(d_, CurrentTime);
        XSync(d_, False);
        return done;
    }

    void warp(int x, int y) {
        XWarpPointer(d_, None, DefaultRootWindow(d_), 0, 0, 0, 0, x, y);
        XSync(d_, False);
    }

  private:
    Display* d_;
    Window w_ = 0;
    bool mapped_ = false;
};

class OnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(x_.display(), "") << "Xvfb did not start";
        setenv("DISPLAY", x_.display().c_str(), 1);
        ASSERT_EQ(mouse_open(x_.display().c_str()), "");
        ASSERT_EQ(copy_hotkey_open(x_.display().c_str()), "");
        ASSERT_EQ(pointer_motion_open(x_.display().c_str()), "");
    }
    void TearDown() override {
        mouse_close();
        copy_hotkey_close();
        pointer_motion_close();
    }

    // Runs xdotool against the test's display and waits for it.
    static void xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ), 0);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    testing::Xvfb x_;
};

TEST_F(OnXvfb, ClickLandsOnTheStoredPixelAndTheCursorReturns) {
    ClickTarget target(x_.display(), 100, 100);
    ASSERT_TRUE(target.mapped());
    target.warp(10, 20);
    ASSERT_TRUE(testing::wait_until([] { return cursor_pos() == ScreenPoint{10, 20}; }));

    EXPECT_TRUE(desktop_takes_input());
    ASSERT_TRUE(target.grab_pointer(true));
    EXPECT_FALSE(desktop_takes_input()) << "a locker holding the pointer would take the click";
    target.grab_pointer(false);
    EXPECT_TRUE(desktop_takes_input());

    std::optional<ScreenPoint> during;
    int marks = 0;
    EXPECT_TRUE(click_at("150*170", [&] {
        ++marks;
        during = cursor_pos();
    }));
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(during, (ScreenPoint{150, 170})) << "the mark is drawn at the click";
    const auto press = target.next_event(ButtonPress);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->xbutton.button, static_cast<unsigned>(Button1));
    EXPECT_EQ(press->xbutton.x_root, 150);
    EXPECT_EQ(press->xbutton.y_root, 170);
    EXPECT_EQ(press->xbutton.x, 50);
    EXPECT_EQ(press->xbutton.y, 70);
    const auto release = target.next_event(ButtonRelease);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->xbutton.x_root, 150);
    EXPECT_EQ(cursor_pos(), (ScreenPoint{10, 20}));
}

TEST_F(OnXvfb, ClickTextsMoveWhereTheyShould) {
    const std::pair<const char*, std::optional<ScreenPoint>> cases[] = {
        {"7*200*300", ScreenPoint{7, 200}},
        {"*200", std::nullopt},
        {"no star", std::nullopt},
    };
    for (const auto& [text, want] : cases) {
        ClickTarget(x_.display(), 0, 0).warp(500, 500);
        std::optional<ScreenPoint> during;
        click_at(text, [&] { during = cursor_pos(); });
        EXPECT_EQ(during, want) << text;
        EXPECT_EQ(cursor_pos(), (ScreenPoint{500, 500})) << text;
    }
}

TEST_F(OnXvfb, HotKeyStateFollowsTheKeyboard) {
    const struct {
        const char* keys;
        bool ctrl, eight, keypad, hotkey;
    } cases[] = {
        {"ctrl+8", true, true, false, true}, {"Control_R+KP_8", true, false, true, true},
        {"8", false, true, false, false},    {"KP_8", false, false, true, false},
        {"ctrl", true, false, false, false}, {"ctrl+9", true, false, false, false},
    };
    for (const auto& c : cases) {
        xdotool({"keydown", c.keys});
        EXPECT_TRUE(testing::wait_until([&] {
            const CopyKeys k = copy_keys();
            return k.ctrl == c.ctrl && k.eight == c.eight && k.keypad_eight == c.keypad;
        })) << c.keys;
        EXPECT_EQ(copy_hotkey_down(), c.hotkey) << c.keys;
        xdotool({"keyup", c.keys});
        EXPECT_TRUE(testing::wait_until([] {
            const CopyKeys k = copy_keys();
            return !k.ctrl && !k.eight && !k.keypad_eight;
        })) << c.keys;
        EXPECT_EQ(copy_hotkey_pressed(), c.hotkey) << c.keys;
    }

    // A tap too short for any poll is told all the same, once.
    xdotool({"keydown", "ctrl+8", "sleep", "0.03", "keyup", "ctrl+8"});
    EXPECT_TRUE(testing::wait_until([] { return copy_hotkey_pressed(); }));
    EXPECT_FALSE(copy_hotkey_down());
    EXPECT_FALSE(copy_hotkey_pressed());
}

// Told of every move, a warp as well as a device's, and of none while not listening.
TEST_F(OnXvfb, PointerMovesAreToldWhileListening) {
    ClickTarget mover(x_.display(), 0, 0);
    const auto told = [] {
        return testing::wait_until([] {
            pollfd news{pointer_motion_descriptor(), POLLIN, 0};
            poll(&news, 1, 100);
            return pointer_moved();
        });
    };
    for (int round = 0; round < 2; ++round) {
        pointer_motion_listen(true);
        EXPECT_TRUE(told()) << "the start of the news counts as a move";
        mover.warp(30 + round, 40);
        EXPECT_TRUE(told()) << "a warp, round " << round;
        xdotool({"mousemove_relative", "5", "5"});
        EXPECT_TRUE(told()) << "a device move, round " << round;
        pointer_motion_listen(false);
        mover.warp(60, 70);
        // A position read after the warp is answered after any news of it.
        ASSERT_EQ(cursor_pos(), (ScreenPoint{60, 70}));
        EXPECT_FALSE(pointer_moved()) << "round " << round;
    }
}

} // namespace
} // namespace keeprun
