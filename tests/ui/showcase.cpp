// A small window showing one piece of the kit as the program shows it, for
// screenshots under Xvfb: "message_panel", "combo", or a help picture "SM1" / "SM2".
// Prints "ready W H" once the window is on screen.
#include "ui/control_color.h"
#include "ui/drop_down_box.h"
#include "ui/message_panel.h"
#include "ui/png_loader.h"
#include "ui/units.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace keeprun;

namespace {

std::unique_ptr<QWidget> main_window() {
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle("keeprun");
    w->resize(tw(15660), tw(8325));
    set_back_color(w.get(), 0xE0E0E0);
    auto* heading = new QLabel("以下程序，如掉线、关闭、退出、崩溃时 自动重新打开", w.get());
    heading->move(tw(120), tw(600));
    return w;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString view = argc > 1 ? QString(argv[1]) : QString();
    std::unique_ptr<QWidget> window;
    PngLoader picture;
    if (view == "message_panel") {
        window = main_window();
        auto* box = new MessagePanel(window.get());
        box->setGeometry(tw_rect(10590, 570, 5055, 3615));
        box->show_message("[*]软件公告[*]我已阅读[*]1[*]20[*][*][*]\r\n欢迎使用本软件。\r\n"
                          "把程序拖到上面的栏位里，\r\n它掉线、关闭或崩溃后会被自动重新打开。\r\n"
                          "点“说明”按钮可以看详细的用法。");
        box->flash_tick();
    } else if (view == "combo") {
        window = main_window();
        auto* slot = new QWidget(window.get());
        slot->setGeometry(tw_rect(0, 4800, 12075, 645));
        set_back_color(slot, 0xE0E0E0);
        auto* combo = new DropDownBox(slot);
        combo->setGeometry(tw_rect(7560, 30, 2475, 285));
        QStringList rules = {"整点重启",
                             "整点和半点重启",
                             "0/4/8/12/16/20整点重启",
                             "每小时的第5分钟重启",
                             "每小时的第10分钟重启",
                             "每小时的第15分钟重启"};
        for (int m = 0; m < 1440; ++m)
            rules << QString("%1:%2:00")
                         .arg(m / 60, 2, 10, QChar('0'))
                         .arg(m % 60, 2, 10, QChar('0'));
        combo->set_items(rules, 0);
        combo->set_list_top(5040);
        window->show();
        combo->open_list();
    } else if (view == "SM1" || view == "SM2") {
        window = std::make_unique<QWidget>();
        window->setWindowTitle("说明");
        picture.set_target(window.get());
        if (!picture.open_resource(view, "CUSTOM")) return 1;
    } else {
        std::fprintf(stderr, "usage: ui_showcase message_panel|combo|SM1|SM2\n");
        return 2;
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return 1;
    QApplication::processEvents();
    std::printf("ready %d %d\n", window->width(), window->height());
    std::fflush(stdout);
    return app.exec();
}
