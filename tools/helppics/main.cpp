// Draws the help pictures SM1.png and SM2.png into the folder given, and the
// Windows program's into its "windows" folder.
#include "draw.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace helppics {
QImage draw_sm1(const Platform& platform);
QImage draw_sm2(const Platform& platform);
} // namespace helppics

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: helppics <folder>\n");
        return 2;
    }
    bool ok = true;
    for (const helppics::Platform* platform : {&helppics::kLinux, &helppics::kWindows}) {
        const QDir out(QDir(QString::fromLocal8Bit(argv[1])).filePath(platform->folder));
        ok = ok && out.mkpath(".") &&
             helppics::draw_sm1(*platform).save(out.filePath("SM1.png"), "PNG") &&
             helppics::draw_sm2(*platform).save(out.filePath("SM2.png"), "PNG");
    }
    if (!ok) std::fprintf(stderr, "helppics: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
