// The message box over any request text (the announcement's body comes from the
// server), shown on an offscreen window and counted down to its close.
#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <string_view>

#include "fuzzing/support.h"
#include "system/codepage.h"
#include "ui/message_panel.h"

using keeprun::fuzz::require;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString request = QString::fromStdString(
        keeprun::cp936_decode(std::string_view(reinterpret_cast<const char*>(data), size)));
    QWidget window;
    window.resize(1044, 555);
    keeprun::MessagePanel box(&window);
    const QStringList fields = request.split("\r\n").front().split("[*]");

    const bool shown = box.show_message(request);
    require(shown == (fields.size() >= 5), "a request is shown exactly when it has five fields");
    require(box.open_state() == (shown ? 1 : 0), "the flag says whether a message is open");
    if (!shown) return 0;
    box.flash_tick();
    if (fields[3] != "1") return 0;
    // A few ticks of the countdown, then the box closes itself once it reaches 0.
    for (int tick = 0; tick < 3 && box.open_state() == 1; ++tick) {
        const long long before = box.seconds_left();
        box.countdown_tick();
        require(box.open_state() == (before - 1 >= 1 ? 1 : 0),
                "the box closes when the count ends");
    }
    return 0;
}
