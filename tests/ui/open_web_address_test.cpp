#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"
#include "ui/open_web_address.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace keeprun;
using keeprun::testing::wait_until;

namespace {

// Puts a stand-in xdg-open first on PATH that records its arguments, one a line.
struct OpenWebAddressTest : ::testing::Test {
    keeprun::testing::TempDir dir;
    QByteArray old_path = qgetenv("PATH");
    std::string record = dir.file("opened.txt");
    QStringList messages;

    void SetUp() override {
        dir.file("xdg-open",
                 "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " + record +
                     ".tmp\nmv " + record + ".tmp " + record + "\n",
                 true);
        qputenv("PATH", QByteArray::fromStdString(dir.path().string() + ":") + old_path);
    }
    void TearDown() override { qputenv("PATH", old_path); }

    // Answers the failure box, if one comes, and notes its text.
    bool open_answering(const QString& url) {
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->windowTitle() + "|" + box->text();
                box->accept();
            }
        });
        answer.start(20);
        return open_web_address(url);
    }
};

TEST_F(OpenWebAddressTest, WebAddressGoesToTheBrowserAsOneArgument) {
    const QString url = "https://example.com/下载?a=1&b=$(touch${IFS}x)'q'|x";
    EXPECT_TRUE(open_answering(url));
    ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(keeprun::testing::slurp(record), url.toStdString() + "\n");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists("x"));
}

TEST_F(OpenWebAddressTest, EmptyDoesNothing) {
    EXPECT_TRUE(open_answering(""));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(OpenWebAddressTest, OnlyWholeHttpAddressesWithoutBlanksAreOpened) {
    for (const char* url :
         {"file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm", "--help", " http://x",
          "https://", "http:///etc/passwd", "http://x/a b", "http://x/\x01", "http://x/\r\n"}) {
        messages.clear();
        EXPECT_FALSE(open_answering(url)) << url;
        EXPECT_EQ(messages, QStringList{"提示|出现错误，未能打开下载页面"}) << url;
    }
    EXPECT_FALSE(std::filesystem::exists(record));
}

TEST_F(OpenWebAddressTest, FailedStartShowsTheMessage) {
    qputenv("PATH", QByteArray::fromStdString(dir.file("missing")));
    EXPECT_FALSE(open_answering("HTTP://example.com/"));
    EXPECT_EQ(messages, QStringList{"提示|出现错误，未能打开下载页面"});
}

} // namespace
