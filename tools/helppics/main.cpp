// Draws the help pictures SM1.png and SM2.png into the folder given.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace helppics {
QImage draw_sm1();
QImage draw_sm2();
} // namespace helppics

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: helppics <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool ok = helppics::draw_sm1().save(out.filePath("SM1.png"), "PNG") &&
                    helppics::draw_sm2().save(out.filePath("SM2.png"), "PNG");
    if (!ok) std::fprintf(stderr, "helppics: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
