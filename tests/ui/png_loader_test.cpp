#include "png_writer.h"
#include "tests/support/temp_dir.h"
#include "ui/picture_box.h"
#include "ui/png_loader.h"
#include "ui/units.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace keeprun;

namespace {

// What a widget shows, as an image.
QImage shown(QWidget* w) {
    return w->grab().toImage();
}

std::unique_ptr<QWidget> white_target(QSize size) {
    auto w = std::make_unique<QWidget>();
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    w->resize(size);
    return w;
}

TEST(PngLoader, AlphaBlendsOverTheTargetOnlyWhenAsked) {
    const std::string png = test::rgba_png(2, 1, {255, 0, 0, 128, 0, 0, 255, 0});
    const struct {
        bool alpha;
        QColor half_red, clear_blue; // blended over the white target, or as they are
    } cases[] = {{true, {255, 127, 127}, {255, 255, 255}}, {false, {255, 0, 0}, {0, 0, 255}}};
    for (const auto& c : cases) {
        auto target = white_target(QSize(10, 10));
        PngLoader p;
        p.set_target(target.get());
        p.set_alpha(c.alpha);
        ASSERT_TRUE(p.open_bytes(png));
        EXPECT_EQ(p.image().pixelColor(0, 0), c.half_red) << c.alpha;
        EXPECT_EQ(p.image().pixelColor(1, 0), c.clear_blue) << c.alpha;
        EXPECT_EQ(target->size(), QSize(2, 1));
        EXPECT_EQ(shown(target.get()).pixelColor(0, 0), c.half_red) << c.alpha;
    }
}

TEST(PngLoader, TransparencyChunkBlendsWhenAsked) {
    test::PngSpec s;
    s.color_type = 3;
    s.width = 2;
    s.palette = {0, 0, 255, 0, 255, 0};
    s.trns_alpha = {255, 0};
    s.rows = {{0, 1}};
    const std::string png = test::write_png(s);
    auto target = white_target(QSize(4, 4));
    PngLoader p;
    p.set_target(target.get());
    ASSERT_TRUE(p.open_bytes(png));
    EXPECT_EQ(p.image().pixelColor(1, 0), QColor(0, 255, 0));
    // The background is what the target shows: a fresh white one.
    target = white_target(QSize(4, 4));
    p.set_target(target.get());
    p.set_transparency(true);
    ASSERT_TRUE(p.open_bytes(png));
    EXPECT_EQ(p.image().pixelColor(1, 0), QColor(255, 255, 255));
    EXPECT_EQ(p.image().pixelColor(0, 0), QColor(0, 0, 255));
}

TEST(PngLoader, WithoutTargetBlendsOverTheOwnColour) {
    const std::string png = test::rgba_png(1, 1, {0, 0, 0, 0});
    PngLoader p;
    p.set_alpha(true);
    p.set_own_background(true, 0xFF0000);
    ASSERT_TRUE(p.open_bytes(png));
    EXPECT_EQ(p.image().pixelColor(0, 0), QColor(0, 0, 255));
}

TEST(PngLoader, ClientAreaBecomesTheImageAndSurvivesRepaint) {
    std::vector<std::uint8_t> px;
    for (int i = 0; i < 30 * 20; ++i)
        px.insert(px.end(), {static_cast<std::uint8_t>(i % 256), 80, 160, 255});
    const std::string png = test::rgba_png(30, 20, px);
    for (bool picture_box : {false, true}) {
        std::unique_ptr<QWidget> target =
            picture_box ? std::make_unique<PictureBox>() : white_target({5, 5});
        target->show();
        PngLoader p;
        p.set_target(target.get());
        ASSERT_TRUE(p.open_bytes(png));
        target->repaint();
        const QImage img = shown(target.get());
        ASSERT_EQ(img.size(), QSize(30, 20)) << picture_box;
        EXPECT_EQ(img.pixelColor(7, 3), QColor((3 * 30 + 7) % 256, 80, 160)) << picture_box;
        EXPECT_EQ(img.pixelColor(29, 19), QColor((19 * 30 + 29) % 256, 80, 160)) << picture_box;
    }
}

TEST(PngLoader, KeptTargetSizeShowsTheImageFromTheGivenPosition) {
    auto target = white_target(QSize(10, 10));
    target->show();
    PngLoader p;
    p.set_target(target.get());
    p.set_placement(true, 3, 2);
    ASSERT_TRUE(p.open_bytes(test::rgba_png(1, 1, {0, 0, 255, 255})));
    EXPECT_EQ(target->size(), QSize(10, 10));
    const QImage img = shown(target.get());
    EXPECT_EQ(img.pixelColor(3, 2), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(9, 9), QColor(0, 0, 255));
    EXPECT_NE(img.pixelColor(2, 1), QColor(0, 0, 255));
}

TEST(PngLoader, FailedLoadSetsTheCodeAndDrawsNothing) {
    auto target = white_target(QSize(7, 9));
    PngLoader p;
    p.set_target(target.get());
    EXPECT_FALSE(p.open_bytes("GIF89a not a png"));
    EXPECT_EQ(p.error_number, 1);
    EXPECT_EQ(target->size(), QSize(7, 9));
    EXPECT_EQ(shown(target.get()).pixelColor(3, 3), QColor(Qt::white));
    const std::string good = test::rgba_png(1, 1, {1, 2, 3, 255});
    EXPECT_FALSE(p.open_bytes(good.substr(0, good.size() - 5)));
    EXPECT_EQ(p.error_number, 3);
}

TEST(PngLoader, MembersFromEachLoadAndTextsAppended) {
    test::PngSpec s;
    s.rows = {{0, 0, 0, 0}};
    s.text = {{"a", "b"}};
    s.gamma = 100000;
    s.time[0] = 1999, s.time[1] = 12, s.time[2] = 31, s.time[3] = 23, s.time[4] = 59,
    s.time[5] = 58;
    const std::string png = test::write_png(s);
    PngLoader p;
    ASSERT_TRUE(p.open_bytes(png));
    ASSERT_TRUE(p.open_bytes(png));
    EXPECT_EQ(p.text_chunks, QString::fromUtf8("a\0b\0a\0b\0", 8));
    EXPECT_EQ(p.modified_time, "31.12.1999 23:59:58");
    EXPECT_DOUBLE_EQ(p.gamma, 1.0);
    EXPECT_EQ(p.colour_type, 6);
    EXPECT_TRUE(p.has_alpha);
}

TEST(PngLoader, OpensFilesAndReportsAnUnreadableOne) {
    keeprun::testing::TempDir dir;
    const std::string png = test::rgba_png(3, 2, std::vector<std::uint8_t>(24, 200));
    PngLoader p;
    EXPECT_TRUE(p.open_file(QString::fromStdString(dir.file("a.png", png))));
    EXPECT_EQ(p.width, 3);
    EXPECT_FALSE(p.open_file(QString::fromStdString(dir.file("missing.png"))));
    EXPECT_EQ(p.error_number, 0);
    EXPECT_FALSE(p.open_resource("NO_SUCH_PICTURE", "CUSTOM"));
}

TEST(PngLoader, HelpPicturesFillTheirFormExactly) {
    const struct {
        const char* name;
        QSize size;
    } pictures[] = {{"SM1", {887, 690}}, {"SM2", {1085, 679}}};
    for (const auto& pic : pictures) {
        QWidget form;
        form.resize(200, 100);
        form.show();
        PngLoader p;
        p.set_target(&form);
        ASSERT_TRUE(p.open_resource(pic.name, "CUSTOM")) << pic.name;
        EXPECT_EQ(p.colour_type, 6);
        EXPECT_EQ(p.bit_depth, 8);
        EXPECT_EQ(QSize(p.width, p.height), pic.size);
        EXPECT_EQ(form.size(), pic.size);
        const QImage img = shown(&form);
        ASSERT_EQ(img.size(), pic.size);
        for (const QPoint at : {QPoint(0, 0), QPoint(pic.size.width() / 2, 30),
                                QPoint(pic.size.width() - 1, pic.size.height() - 1)})
            EXPECT_EQ(img.pixel(at), p.image().pixel(at)) << pic.name;
    }
}

} // namespace
