#include "gui_support.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>

namespace keeprun::testing {

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "keeprun-gui-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::file(const std::string& name, const std::string& text,
                             bool executable) const {
    const fs::path p = path_ / name;
    std::ofstream(p, std::ios::binary) << text;
    if (executable)
        fs::permissions(p, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add);
    return p.string();
}

ShownBox catch_message_box(const std::function<void()>& action) {
    ShownBox seen;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {true, box->windowTitle(), box->text(), box->standardButton(box->defaultButton())};
        box->done(0);
    });
    watcher.start();
    action();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return seen;
}

} // namespace keeprun::testing
