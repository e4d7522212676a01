// Help picture 1: the four slots that keep their programs running.
#include "draw.h"

namespace helppics {
namespace {

void first_kind_slot(QPainter& p, QPoint o, const Platform& platform) {
    slot_frame(p, o, 1);
    edit(p, o, 540, 30, 6165, platform.game_path);
    button(p, o, 6720, 30, 585, "清除");
    button(p, o, 7320, 30, 585, "暂停");
    click_row(p, o, {"640*480", "1200*35", "", ""});
}

void readout(QPainter& p, QPoint o) {
    p.setPen(QColor(170, 170, 170));
    p.setBrush(kPanel);
    p.drawRect(o.x(), o.y(), 241, 34);
    p.setPen(kInk);
    p.setFont(font(12));
    p.drawText(o.x() + 6, o.y() + 14, "当前鼠标坐标位置:");
    p.setPen(kMark);
    p.setFont(font(12, true));
    p.drawText(o.x() + 120, o.y() + 14, "640*480");
    p.setPen(kInk);
    p.setFont(font(11));
    p.drawText(o.x() + 6, o.y() + 29, "同时按键盘Ctrl+ 8 复制当前鼠标坐标位置");
}

} // namespace

QImage draw_sm1(const Platform& platform) {
    QImage img = canvas(887, 690, "说明一：程序掉线、关闭、崩溃后自动重新打开");
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    text(p, QRect(24, 64, 840, 24),
         "主窗口上半部分有 4 个这样的栏位（程序1～程序4），每个栏位照看一个程序：", 15);

    const QPoint slot(40, 118);
    first_kind_slot(p, slot, platform);
    // Numbers over the parts of the slot that the steps below explain.
    const struct {
        int n;
        QPoint at;
        QPoint to;
    } marks[] = {
        {1, {200, 100}, {200, 124}},
        {3, {283, 180}, {270, 156}},
        {5, {540, 100}, {525, 122}},
        {6, {500, 100}, {480, 122}},
    };
    for (const auto& m : marks) {
        arrow(p, m.at, m.to);
        badge(p, m.at, m.n);
    }
    readout(p, QPoint(620, 168));
    arrow(p, QPointF(600, 185), QPointF(618, 185));
    badge(p, QPoint(588, 185), 4);

    const int top = 214;
    const int gap = 10;
    int left = top, right = top;
    left = step(p, QRect(24, left, 408, 10), 1, "把程序拖进栏位", platform.dropping) + gap;
    right = step(p, QRect(444, right, 420, 10), 2, "自动重新打开",
                 "程序没在运行时（被关闭、崩溃或掉线退出），约 2 秒后本软件就把它重新打开，"
                 "并在右边的“运行日志”里记一行，例如“14:05:31 打开程序1”。") +
            gap;
    left = step(p, QRect(24, left, 408, 10), 3, "打开后自动点击（可选）",
                "在 4 个坐标框里填要点击的屏幕位置，写法是 横坐标*纵坐标，例如 640*480；"
                "不需要的框留空。框左边的数字是等待的秒数：打开程序 8 秒后点第一个位置，"
                "之后每隔 3 秒点下一个（每次最多等 20 秒）。") +
           gap;
    right = step(p, QRect(444, right, 420, 10), 4, "用 Ctrl+8 取坐标",
                 "窗口左上角一直显示鼠标所在的位置。把鼠标移到要点击的地方，同时按 Ctrl 和 8，"
                 "坐标就复制好了，再到坐标框里粘贴（Ctrl+V）。") +
            gap;
    left = step(p, QRect(24, left, 408, 10), 5, "暂停",
                "点“暂停”，按钮变红，这个栏位暂时不检查、不打开程序；再点一次恢复。"
                "暂停不会保存，下次启动时栏位照常工作。") +
           gap;
    right = step(p, QRect(444, right, 420, 10), 6, "清除",
                 "点“清除”，这一栏的程序、等待时间和坐标恢复为初始值（8、3、3、3 秒，没有坐标），"
                 "正在进行的打开和点击也会停下。") +
            gap;

    int y = std::max(left, right) + 2;
    text(p, QRect(24, y, 840, 22), "一个栏位的程序被关闭后，依上图的设置会这样进行：", 15, kAccent,
         true);
    y = flow(p, 24, y + 26, 840,
             {"程序被关闭\n或崩溃", "约 2 秒后\n打开程序", "记一行\n打开程序1",
              "等 8 秒\n点击 640*480", "等 3 秒\n点击 1200*35"}) +
        12;
    hint(p, y, 887, 690,
         "提示：主窗口上出现提示框时，所有栏位都暂停工作；点提示框的按钮或等倒计时结束后继续。"
         "设置在关闭本软件时保存，下次打开时自动恢复。");
    return img;
}

} // namespace helppics
