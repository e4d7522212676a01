// Help picture 2: the four timed slots.
#include "draw.h"

namespace helppics {
namespace {

void second_kind_slot(QPainter& p, QPoint o, const Platform& platform) {
    // The column headings stand above the slots on the main window.
    label(p, o, 7560, -300, "重启、打开程序时间");
    label(p, o, 10410, -300, "关闭、退出时间");
    slot_frame(p, o, 5);
    edit(p, o, 540, 30, 6165, platform.server_path);
    button(p, o, 6720, 30, 585, "清除");
    check(p, o, 7320, 30, true);
    combo(p, o, 7560, 30, 2475, "整点重启");
    check(p, o, 10110, 30, false);
    combo(p, o, 10410, 30, 1605, "20:01:00", QColor(200, 200, 200));
    click_row(p, o, {"", "", "", ""});
}

void record(QPainter& p, QRect r) {
    p.setPen(QColor(170, 170, 170));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(kInk);
    p.setFont(font(12));
    p.drawText(r.x(), r.y() - 6, "运行日志:");
    const char* lines[] = {"14:00:02 关闭程序5", "14:00:05 打开程序5", "14:05:02 关闭程序6",
                           "14:05:05 打开程序6", "14:10:02 关闭程序7"};
    int y = r.y() + 16;
    for (const char* l : lines) {
        p.drawText(r.x() + 6, y, QString::fromUtf8(l));
        y += 17;
    }
}

// Four restarts spread over the hour, each a close, 3 s, an open and the clicks.
void timeline(QPainter& p, QRect r) {
    const int x0 = r.x() + 50, x1 = r.right() - 10;
    const int axis = r.bottom() - 18;
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(x0, axis, x1, axis);
    p.setFont(font(12));
    for (int m = 0; m <= 20; m += 5) {
        const int x = x0 + (x1 - x0) * m / 20;
        p.drawLine(x, axis - 4, x, axis + 4);
        p.drawText(QRect(x - 30, axis + 3, 60, 16), Qt::AlignCenter, QString("%1分").arg(m));
    }
    const char* names[] = {"程序5", "程序6", "程序7", "程序8"};
    for (int i = 0; i < 4; ++i) {
        const int x = x0 + (x1 - x0) * (i * 5) / 20;
        const int y = r.y() + i * 17;
        p.setPen(kInk);
        p.drawText(QRect(r.x(), y, 46, 16), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromUtf8(names[i]));
        p.setPen(Qt::NoPen);
        p.setBrush(i % 2 ? kAccent : kMark);
        p.drawRoundedRect(QRect(x, y + 3, 26, 11), 3, 3);
    }
}

} // namespace

QImage draw_sm2(const Platform& platform) {
    QImage img = canvas(1085, 679, "说明二：定时重启、打开、关闭程序");
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    text(p, QRect(24, 62, 1040, 40),
         "主窗口下半部分有 4 个定时栏位（程序5～程序8）。拖入程序、等待时间、点击坐标和“清除”"
         "的用法与上面的栏位相同（见说明一），不同的是右边的两个开关：",
         15);

    const QPoint slot(40, 124);
    second_kind_slot(p, slot, platform);
    arrow(p, QPointF(520, 200), QPointF(530, 145));
    badge(p, QPoint(518, 212), 1);
    arrow(p, QPointF(700, 200), QPointF(716, 145));
    badge(p, QPoint(698, 212), 3);
    record(p, QRect(866, 124, 196, 96));

    const int gap = 10;
    int left = 236, right = 236;
    left = step(p, QRect(24, left, 510, 10), 1, "定时重启（也可用来定时打开）",
                "勾选左边的开关，在它右边选一条规则。到点时本软件：关闭程序 → 等 3 秒 → "
                "打开程序 → 按等待时间点击坐标 → 再等 6 秒。到点时程序没有运行，也会被打开。") +
           gap;
    left = step(p, QRect(24, left, 510, 10), 3, "定时关闭",
                "勾选右边的开关并选择时间（列表里是一天中的每一分钟，也可以直接输入）。"
                "每天到这个时间把程序关闭一次，不再打开。两个开关只能勾一个：勾上一个，"
                "另一个自动取消；正在用的时间框是白色，另一个变灰。") +
           gap;
    left = step(p, QRect(24, left, 510, 10), 5, "定时重启电脑", platform.rebooting) + gap;

    right = step(p, QRect(548, right, 514, 10), 2, "重启规则",
                 "整点重启：每小时整点\n"
                 "整点和半点重启：每小时整点和半点各一次\n"
                 "0/4/8/12/16/20整点重启：每天这 6 个整点\n"
                 "每小时的第5分钟重启：每小时的 5 分（第10、第15分钟同理）\n"
                 "07:30:00 这样的时间：每天这个时间，可直接输入，如 7:30 或 23:15:30\n"
                 "到点后 1～6 秒之内执行，每次到点只执行一次。") +
            gap;
    right = step(p, QRect(548, right, 514, 10), 4, "几个程序要错开时间",
                 "几个程序都要定时重启时，给它们选不同的规则，例如 程序5 整点、程序6 第5分钟、"
                 "程序7 第10分钟、程序8 第15分钟。它们就不会同时关闭和打开，点击也不会互相干扰：") +
            gap;
    p.setPen(QPen(QColor(200, 214, 232), 1));
    p.setBrush(kSoft);
    const QRect line_box(548, right - gap + 2, 514, 100);
    p.drawRoundedRect(line_box, 8, 8);
    timeline(p, line_box.adjusted(14, 10, -14, -4));

    text(p, QRect(24, left, 510, 22), "“整点重启”到点时的顺序：", 15, kAccent, true);
    left = flow(p, 24, left + 26, 510,
                {"到点", "关闭\n程序", "等 3 秒", "打开\n程序", "点击\n坐标", "等 6 秒"}) +
           gap;
    hint(p, std::max(left, line_box.bottom() + gap) + 2, 1085, 679,
         "提示：每次关闭和打开都记在“运行日志”里，例如“20:01:01 关闭程序6”。"
         "主窗口上出现提示框时定时栏位也暂停，提示框关闭后继续。");
    return img;
}

} // namespace helppics
