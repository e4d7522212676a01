#include "ui/open_web_address.h"
#include "wait_until.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace keeprun;

namespace {

// Puts a stand-in xdg-open first on PATH that records its arguments, one a line.
struct OpenWebAddressTest : testing::Test {
    QTemporaryDir dir;
    QByteArray old_path = qgetenv("PATH");
    QString record;
    QStringList messages;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        record = dir.filePath("opened.txt");
        QFile script(dir.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > %1.tmp\n"
                             "mv %1.tmp %1\n")
                         .arg(record)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir.path().toUtf8() + ":" + old_path);
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
    QString recorded() const {
        QFile f(record);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(OpenWebAddressTest, WebAddressGoesToTheBrowserAsOneArgument) {
    const QString url = "https://example.com/下载?a=1&b=$(touch x) 'q'";
    EXPECT_TRUE(open_answering(url));
    ASSERT_TRUE(test::wait_until([&] { return QFile::exists(record); }));
    EXPECT_EQ(recorded(), url + "\n");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists("x"));
}

TEST_F(OpenWebAddressTest, EmptyDoesNothing) {
    EXPECT_TRUE(open_answering(""));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(OpenWebAddressTest, OtherSchemesAreRefusedWithTheMessage) {
    for (const char* url :
         {"file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm", "--help", " http://x"}) {
        messages.clear();
        EXPECT_FALSE(open_answering(url)) << url;
        EXPECT_EQ(messages, QStringList{"提示|出现错误，未能打开下载页面"}) << url;
    }
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(OpenWebAddressTest, FailedStartShowsTheMessage) {
    qputenv("PATH", dir.filePath("missing").toUtf8());
    EXPECT_FALSE(open_answering("HTTP://example.com/"));
    EXPECT_EQ(messages, QStringList{"提示|出现错误，未能打开下载页面"});
}

} // namespace
