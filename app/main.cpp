// keeprun: keeps programs running, restarts them on time rules, and clicks at
// stored screen positions after every start.
#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/platform_start.h"
#include "app/program.h"
#include "system/copy_hotkey.h"
#include "system/delay.h"
#include "system/memory.h"
#include "system/mouse.h"
#include "system/pointer_motion.h"
#include "system/window_ping.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    keeprun::share_one_heap();
    std::vector<char*> qt_args(argv, argv + argc);
    if (!keeprun::prepare_platform(qt_args)) return 1;
    int qt_argc = static_cast<int>(qt_args.size());
    qt_args.push_back(nullptr);
    QApplication app(qt_argc, qt_args.data());
    // Every window, dialog and the tray show the program's icon.
    QApplication::setWindowIcon(keeprun::app_icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.keeprun.keeprun"));
    const std::string mouse_error = keeprun::mouse_open();
    if (!mouse_error.empty()) {
        std::cerr << "keeprun: " << mouse_error << "\n";
        return 1;
    }
    // Without these keeprun still runs, with less: say so and go on.
    for (const std::string& error :
         {keeprun::copy_hotkey_open(), keeprun::pointer_motion_open(), keeprun::window_ping_open()})
        if (!error.empty()) std::cerr << "keeprun: " << error << "\n";
    // Windows are hidden and shown during start-up; only end_program ends keeprun.
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    // On Windows the translations travel beside the program.
    for (const QString& folder : {QCoreApplication::applicationDirPath() + "/translations",
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (!translator.load(QStringLiteral("qtbase_zh_CN"), folder)) continue;
        QApplication::installTranslator(&translator);
        break;
    }
    // The layout is made for the 12-pixel CJK type of the original system.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    QApplication::setFont(font);
    keeprun::set_message_pump([] { QCoreApplication::processEvents(); });

    keeprun::Program program(keeprun::read_command_line(QCoreApplication::arguments()).at_login);
    program.start();
    return QApplication::exec();
}
