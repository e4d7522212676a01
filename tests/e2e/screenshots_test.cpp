// Pictures of the windows for a person to look at, left in <build>/screenshots/:
// the announcement, the fresh main window, both help pictures, the close
// question, and the main window with every slot filled.
#include <gtest/gtest.h>

#include "session.h"

namespace keeprun::e2e {
namespace {

const std::string kTitle = "程序守护与定时重启助手";
const char* const kNews = "欢迎使用！本软件让您的程序一直运行，并能定时关闭或重启程序。\r\n"
                          "1. 上面四个方框：程序被关闭或崩溃后，会自动重新打开；\r\n"
                          "2. 下面四个方框：到了设定的时间，自动关闭或重启程序；\r\n"
                          "3. 用鼠标按住程序不松手，拖入方框即可。";

fs::path shots() {
    return build_dir() / "screenshots";
}

TEST(Screenshots, FreshWindowAnnouncementAndHelpPictures) {
    Session s;
    s.serve(server_text(kTitle, kNews));
    s.start_keeprun();
    const unsigned long window = s.wait_window(kTitle, 40s);
    ASSERT_NE(window, 0u);
    const WindowBox box = s.x().box(window);
    ASSERT_TRUE(wait_until(
        [&] { return s.pixel(kMessagePanelX, kMessagePanelY) == kMessagePanelColour; }, 10s));
    s.screenshot(shots() / "announcement.png", box);
    s.click(kAnnouncementButtonX, kAnnouncementButtonY);
    s.xdotool({"mousemove", "--sync", "1200", "1000"});
    ASSERT_TRUE(wait_until(
        [&] { return s.pixel(kMessagePanelX, kMessagePanelY) != kMessagePanelColour; }, 10s));
    s.screenshot(shots() / "main-fresh.png", box);

    const int help_x[2] = {390, 240};
    const int help_y[2] = {48, 301};
    for (int i = 0; i < 2; ++i) {
        s.click(help_x[i], help_y[i]);
        const unsigned long picture = s.wait_window("说明", 10s);
        ASSERT_NE(picture, 0u);
        const WindowBox pbox = s.x().box(picture);
        EXPECT_EQ(pbox.width, i == 0 ? 887 : 1085);
        EXPECT_EQ(pbox.height, i == 0 ? 690 : 679);
        s.screenshot(shots() / ("help-SM" + std::to_string(i + 1) + ".png"), pbox);
        s.x().request_close(picture);
        ASSERT_TRUE(wait_until([&] { return s.x().windows_named("说明").empty(); }, 10s));
    }

    s.x().request_close(window);
    const unsigned long question = s.wait_window("关闭确认", 10s);
    ASSERT_NE(question, 0u);
    s.screenshot(shots() / "close-question.png", s.x().box(question));
}

TEST(Screenshots, MainWindowWithEverySlotFilled) {
    Session s;
    s.serve(server_text(kTitle, kNews));
    std::string ini = "[gx]\r\n0=0\r\n[cx1]\r\n";
    for (int k = 1; k <= 4; ++k)
        ini += std::to_string(k) + "=/opt/游戏" + std::to_string(k) + "/game" +
               "[*]10[*]5[*]3[*]3[*]" + std::to_string(600 + k) + "*" + std::to_string(400 + k) +
               "[*]" + (k % 2 ? "1200*35" : "") + "[*][*][*]0[*]0[*][*]20:01[*][*][*]\r\n";
    ini += "[cx2]\r\n";
    const char* rules[4] = {"整点重启", "整点和半点重启", "03:30:00", "每小时的第10分钟重启"};
    for (int k = 1; k <= 4; ++k)
        ini += std::to_string(k) + "=/opt/服务" + std::to_string(k) + "/server[*]8[*]3[*]3[*]3[*]" +
               "800*600[*][*][*][*]" + (k == 3 ? "0[*]1" : "1[*]0") + "[*]" + rules[k - 1] + "[*]" +
               (k == 3 ? "23:50:00" : "20:01:00") + "[*][*][*]\r\n";
    s.write_data_ini(ini);
    s.start_keeprun();
    const unsigned long window = s.wait_window(kTitle, 40s);
    ASSERT_NE(window, 0u);
    s.click(kAnnouncementButtonX, kAnnouncementButtonY);
    s.xdotool({"mousemove", "--sync", "1200", "1000"});
    // Slot 1's first position field turns white once the stored slots are loaded.
    ASSERT_TRUE(wait_until(
        [&] {
            return s.pixel(kMessagePanelX, kMessagePanelY) != kMessagePanelColour &&
                   s.pixel(288, 99) == "FFFFFF";
        },
        10s));
    s.screenshot(shots() / "main-filled.png", s.x().box(window));
}

TEST(Screenshots, TrayMenuAndTheWindowWithItsIcon) {
    Session s;
    s.start_window_manager();
    s.start_tray();
    s.serve(server_text(kTitle, kNews));
    s.start_keeprun();
    ASSERT_TRUE(wait_until([&] { return s.window_visible(kTitle); }, 40s));
    const std::string found = s.xdotool({"search", "--onlyvisible", "--name", "^" + kTitle + "$"});
    const unsigned long window = std::stoul(found);
    // The announcement has the keyboard: Enter closes it.
    s.key_to(window, "Return");
    const Env x{{"PATH", "/usr/bin:/bin"}, {"DISPLAY", s.display()}};
    const auto grab = [&](const std::vector<std::string>& args, const std::string& name) {
        std::vector<std::string> argv{"import"};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back((shots() / name).string());
        run_capture(argv, x);
    };
    s.xdotool({"mousemove", "--sync", "1200", "1000"});
    ASSERT_TRUE(wait_until(
        [&] {
            const WindowBox box = s.x().box(window);
            return s.pixel(box.x + kMessagePanelX, box.y + kMessagePanelY) != kMessagePanelColour;
        },
        10s));
    fs::create_directories(shots());
    grab({"-frame", "-window", std::to_string(window)}, "main-window-icon.png");

    // The tray sits at the screen's top right; the icon is its only one.
    const int right = 1280;
    ASSERT_TRUE(wait_until([&] { return s.pixel(right - 12, 16) != "000000"; }, 10s));
    s.xdotool({"mousemove", "--sync", std::to_string(right - 12), "16", "click", "3"});
    ASSERT_TRUE(wait_until([&] { return s.pixel(right - 100, 48) != "000000"; }, 10s));
    grab({"-window", "root", "-crop", "240x100+" + std::to_string(right - 240) + "+0", "+repage"},
         "tray-menu.png");
}

} // namespace
} // namespace keeprun::e2e
