#include "ui/png_loader.h"

#include "system/text.h"
#include "ui/picture_box.h"
#include "ui/units.h"

#include <QFile>
#include <QPainter>
#include <QPalette>

namespace keeprun {

void PngLoader::set_own_background(bool on, std::int32_t colour) {
    own_background_ = on;
    own_color_ = colour;
}

void PngLoader::set_placement(bool keep_target_size, std::int32_t x, std::int32_t y) {
    keep_target_size_ = keep_target_size;
    x_ = x;
    y_ = y;
}

bool PngLoader::open_file(const QString& filename) {
    QFile f(filename);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    return open_bytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool PngLoader::open_resource(const QString& id, const QString& type) {
    if (type != "CUSTOM") return false;
    const std::string_view bytes = custom_resource(id.toStdString());
    if (bytes.empty()) return false;
    return open_bytes(bytes);
}

bool PngLoader::open_bytes(std::string_view bytes) {
    PngDecoded d;
    if (const std::int32_t rc = png_decode(bytes, use_trans_, d); rc != png_ok) {
        error_number = rc;
        return false;
    }
    width = d.width;
    height = d.height;
    bit_depth = d.bit_depth;
    colour_type = d.colour_type;
    compression = d.compression;
    filter = d.filter;
    interlacing = d.interlacing;
    has_alpha = d.has_alpha;
    has_transparency = d.has_transparency;
    has_background_chunk = d.has_background_chunk;
    background_colour = d.background_colour;
    text_chunks += QString::fromStdString(d.text_chunks);
    compressed_text_chunks += QString::fromStdString(d.compressed_text_chunks);
    modified_time = QString::fromStdString(d.modified_time);
    gamma = d.gamma;
    image_ = blended(d);
    draw(image_);
    return true;
}

QImage PngLoader::background_for(QSize size) const {
    if (!target_) {
        QImage bg(size, QImage::Format_RGB32);
        bg.fill(own_background_ && own_color_ != 0 ? win_color(own_color_) : QColor(Qt::white));
        return bg;
    }
    // A target smaller than the image grows first: the image size plus 100 twips.
    if (target_->width() < size.width() || target_->height() < size.height())
        target_->resize(size + QSize(tw(100), tw(100)));
    return target_->grab(QRect(QPoint(x_, y_), size))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage PngLoader::blended(const PngDecoded& d) const {
    const QSize size(d.width, d.height);
    QImage img(size, QImage::Format_RGB32);
    const bool blend = (d.has_alpha && use_alpha_) || (d.has_transparency && use_trans_);
    const QImage bg = blend ? background_for(size) : QImage();
    const std::uint8_t* px = d.rgba.data();
    for (int y = 0; y < d.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* back = blend ? reinterpret_cast<const QRgb*>(bg.constScanLine(y)) : nullptr;
        for (int x = 0; x < d.width; ++x, px += 4) {
            if (!blend) {
                line[x] = qRgb(px[0], px[1], px[2]);
                continue;
            }
            const unsigned a = px[3];
            const QRgb b = back[x];
            const auto mix = [a](unsigned v, unsigned under) -> int {
                if (a == 255) return static_cast<int>(v);
                if (a == 0) return static_cast<int>(under);
                return static_cast<int>((v * a + under * (255 - a) + 255) / 256);
            };
            line[x] = qRgb(mix(px[0], qRed(b)), mix(px[1], qGreen(b)), mix(px[2], qBlue(b)));
        }
    }
    return img;
}

void PngLoader::draw(const QImage& img) {
    if (!target_) return;
    // The client area becomes the image; Qt's sizes are client sizes already.
    if (!keep_target_size_) target_->resize(img.size());
    QImage shown(target_->size(), QImage::Format_RGB32);
    shown.fill(target_->palette().color(target_->backgroundRole()));
    {
        QPainter p(&shown);
        p.drawImage(QRect(QPoint(x_, y_), target_->size()), img);
    }
    if (auto* box = qobject_cast<keeprun::PictureBox*>(target_.data())) {
        box->set_picture(shown);
        return;
    }
    // Any other control keeps the picture as its background, so it survives repainting.
    QPalette pal = target_->palette();
    pal.setBrush(QPalette::Window, QBrush(shown));
    target_->setPalette(pal);
    target_->setAutoFillBackground(true);
    target_->update();
}

} // namespace keeprun
