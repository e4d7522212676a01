// Widget tests run on Qt's offscreen platform: no display needed.
#include <QApplication>
#include <gtest/gtest.h>

#include "system/delay.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    keeprun::set_message_pump([] { QCoreApplication::processEvents(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
