#include "app/app_icon.h"

#include <QDirIterator>

namespace keeprun {

QIcon app_icon() {
    QIcon compiled;
    QDirIterator pictures(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                          QDirIterator::Subdirectories);
    while (pictures.hasNext())
        compiled.addFile(pictures.next());
    return QIcon::fromTheme(QStringLiteral("io.github.keeprun.keeprun"), compiled);
}

} // namespace keeprun
