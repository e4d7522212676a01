#include "ui/load_png.h"

#include "system/text.h"
#include "ui/picbox.h"
#include "ui/units.h"

#include <QFile>
#include <QPainter>
#include <QPalette>

namespace keeprun {

void LoadPNG::SetOwnBkgndColor(bool OwnBkgndOn, std::int32_t BackColor) {
    own_bkgnd_ = OwnBkgndOn;
    own_color_ = BackColor;
}

void LoadPNG::SetToBkgrnd(bool SetToBG, std::int32_t X, std::int32_t y) {
    to_bg_ = SetToBG;
    x_ = X;
    y_ = y;
}

bool LoadPNG::OpenPNG(const QString& filename) {
    QFile f(filename);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    return open_bytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool LoadPNG::OpenPNGfromRes(const QString& ID, const QString& ResTyp) {
    if (ResTyp != "CUSTOM") return false;
    const std::string_view bytes = custom_resource(ID.toStdString());
    if (bytes.empty()) return false;
    return open_bytes(bytes);
}

bool LoadPNG::open_bytes(std::string_view bytes) {
    PngDecoded d;
    if (const std::int32_t rc = png_decode(bytes, use_trans_, d); rc != png_ok) {
        ErrorNumber = rc;
        return false;
    }
    Width = d.Width;
    Height = d.Height;
    Bitdepht = d.Bitdepht;
    ColorType = d.ColorType;
    Compression = d.Compression;
    Filter = d.Filter;
    Interlacing = d.Interlacing;
    HaveAlpha = d.HaveAlpha;
    HaveTransparence = d.HaveTransparence;
    HasBKGDChunk = d.HasBKGDChunk;
    BkgdColor = d.BkgdColor;
    Text += QString::fromStdString(d.Text);
    zText += QString::fromStdString(d.zText);
    ModiTime = QString::fromStdString(d.ModiTime);
    gama = d.gama;
    image_ = blended(d);
    draw(image_);
    return true;
}

QImage LoadPNG::background_for(QSize size) const {
    if (!target_) {
        QImage bg(size, QImage::Format_RGB32);
        bg.fill(own_bkgnd_ && own_color_ != 0 ? win_color(own_color_) : QColor(Qt::white));
        return bg;
    }
    // A target smaller than the image grows first: the image size plus 100 twips.
    if (target_->width() < size.width() || target_->height() < size.height())
        target_->resize(size + QSize(tw(100), tw(100)));
    return target_->grab(QRect(QPoint(x_, y_), size))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage LoadPNG::blended(const PngDecoded& d) const {
    const QSize size(d.Width, d.Height);
    QImage img(size, QImage::Format_RGB32);
    const bool blend = (d.HaveAlpha && use_alpha_) || (d.HaveTransparence && use_trans_);
    const QImage bg = blend ? background_for(size) : QImage();
    const std::uint8_t* px = d.rgba.data();
    for (int y = 0; y < d.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* back = blend ? reinterpret_cast<const QRgb*>(bg.constScanLine(y)) : nullptr;
        for (int x = 0; x < d.Width; ++x, px += 4) {
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

void LoadPNG::draw(const QImage& img) {
    if (!target_) return;
    // The client area becomes the image; Qt's sizes are client sizes already.
    if (!to_bg_) target_->resize(img.size());
    QImage shown(target_->size(), QImage::Format_RGB32);
    shown.fill(target_->palette().color(target_->backgroundRole()));
    {
        QPainter p(&shown);
        p.drawImage(QRect(QPoint(x_, y_), target_->size()), img);
    }
    if (auto* box = qobject_cast<keeprun::PicBox*>(target_.data())) {
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
