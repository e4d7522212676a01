#pragma once
// The picture class: loads a PNG from a file or from the compiled-in resources
// and draws it onto a target control, whose client area then shows exactly the
// image.
#include "ui/png_decode.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace keeprun {

class LoadPNG {
  public:
    // Members filled by each load.
    std::int32_t Width = 0, Height = 0, Bitdepht = 0, ColorType = 0;
    std::int32_t Compression = 0, Filter = 0, Interlacing = 0;
    // Code of the last failed load; 0 until a load fails.
    std::int32_t ErrorNumber = 0;
    bool HaveAlpha = false, HaveTransparence = false, HasBKGDChunk = false;
    std::int32_t BkgdColor = 0;
    // The texts of every load, appended.
    QString Text, zText;
    QString ModiTime;
    double gama = 0;

    // Settings, kept across loads.
    void PicBox(QWidget* NewPicBox) { target_ = NewPicBox; }
    void SetAlpha(bool vNewValue) { use_alpha_ = vNewValue; }
    void SetTrans(bool vNewValue) { use_trans_ = vNewValue; }
    void SetOwnBkgndColor(bool OwnBkgndOn, std::int32_t BackColor);
    // Where on the target the image goes; SetToBG true keeps the target's size.
    void SetToBkgrnd(bool SetToBG, std::int32_t X, std::int32_t y);

    // Load and draw. Gives false when the data was refused (ErrorNumber says
    // why) or the file or resource cannot be read (ErrorNumber unchanged).
    bool OpenPNG(const QString& filename);
    bool OpenPNGfromRes(const QString& ID, const QString& ResTyp);
    // Load and draw from bytes already in memory.
    bool open_bytes(std::string_view bytes);

    // The last image as drawn: blended when blending applied, else opaque.
    const QImage& image() const { return image_; }

  private:
    QImage blended(const PngDecoded& d) const;
    QImage background_for(QSize size) const;
    void draw(const QImage& img);

    QPointer<QWidget> target_;
    bool use_alpha_ = false;
    bool use_trans_ = false;
    bool own_bkgnd_ = false;
    std::int32_t own_color_ = 0;
    bool to_bg_ = false;
    int x_ = 0, y_ = 0;
    QImage image_;
};

} // namespace keeprun
