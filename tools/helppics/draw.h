#pragma once
// Drawing pieces shared by the two help pictures.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace helppics {

inline const QColor kInk(40, 40, 40);
inline const QColor kAccent(32, 96, 176);
inline const QColor kMark(214, 40, 40);
inline const QColor kPanel(224, 224, 224);
inline const QColor kSoft(240, 246, 252);

// What the pictures say differently on Linux and on Windows: paths, which files
// a slot takes, and how a timed slot restarts the computer.
struct Platform {
    const char* folder; // where the pictures go, below the folder given
    const char* game_path;
    const char* dropping; // body of "把程序拖进栏位"
    const char* server_path;
    const char* rebooting; // body of "定时重启电脑"
};

inline const Platform kLinux{
    "", "/home/user/游戏/game",
    "从文件管理器或桌面把程序文件（可执行文件，或指向程序的 .desktop "
    "启动器）拖到路径框里，路径框就显示程序的完整路径。也可以直接输入完整路径。"
    "拖入文档、图片等其它文件会提示错误，栏位不变。",
    "/home/user/bin/server",
    "把一个执行重启命令的可执行脚本（例如内容为 systemctl reboot 的脚本）"
    "拖入定时栏位，勾选重启开关并选好时间，到点时脚本被打开，电脑随之重启。"
    "需要有重启电脑的权限。"};

inline const Platform kWindows{
    "windows", "C:\\游戏\\game.exe",
    "从资源管理器或桌面把程序文件（.exe 程序，或指向程序的快捷方式）"
    "拖到路径框里，路径框就显示程序的完整路径。也可以直接输入完整路径。"
    "拖入文档、图片等其它文件会提示错误，栏位不变。",
    "C:\\server\\server.exe",
    "把一个运行后就重启电脑的程序（.exe）拖入定时栏位，勾选重启开关并选好时间，"
    "到点时这个程序被打开，电脑随之重启。需要有重启电脑的权限。"};

QFont font(double px, bool bold = false);
// A picture of the given size, 8-bit RGBA, light background and title bar.
QImage canvas(int width, int height, const QString& title);
// Text wrapped into the rectangle; returns the height used.
int text(QPainter& p, const QRect& r, const QString& s, double px, const QColor& c = kInk,
         bool bold = false);
// A numbered red disc.
void badge(QPainter& p, QPoint centre, int n);
// A box with a numbered heading and wrapped body; returns its bottom.
int step(QPainter& p, const QRect& r, int n, const QString& heading, const QString& body);
// Controls as they look on the main window, positions in twips from `origin`.
void edit(QPainter& p, QPoint origin, int left, int top, int width, const QString& s,
          const QColor& back = Qt::white);
void button(QPainter& p, QPoint origin, int left, int top, int width, const QString& s,
            const QColor& back = kPanel);
void label(QPainter& p, QPoint origin, int left, int top, const QString& s);
void check(QPainter& p, QPoint origin, int left, int top, bool on);
void combo(QPainter& p, QPoint origin, int left, int top, int width, const QString& s,
           const QColor& back = Qt::white);
// A slot's second row: the opening delay, then four click positions with their delays.
void click_row(QPainter& p, QPoint origin, const QStringList& positions);
// The frame of a slot (12075 x 645 twips) with its number label.
void slot_frame(QPainter& p, QPoint origin, int number);
// A row of rounded boxes joined by arrows, from x = left over `width`; returns its bottom.
int flow(QPainter& p, int left, int top, int width, const QStringList& items);
// The yellow hint box at the foot of a picture, from `top` to the picture's bottom less 10.
void hint(QPainter& p, int top, int width, int height, const QString& s);
// An arrow from a to b.
void arrow(QPainter& p, QPointF a, QPointF b, const QColor& c = kMark);

} // namespace helppics
