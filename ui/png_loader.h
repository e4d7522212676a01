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

class PngLoader {
  public:
    // Members filled by each load.
    std::int32_t width = 0, height = 0, bit_depth = 0, colour_type = 0;
    std::int32_t compression = 0, filter = 0, interlacing = 0;
    // Code of the last failed load; 0 until a load fails.
    std::int32_t error_number = 0;
    bool has_alpha = false, has_transparency = false, has_background_chunk = false;
    std::int32_t background_colour = 0;
    // The texts of every load, appended.
    QString text_chunks, compressed_text_chunks;
    QString modified_time;
    double gamma = 0;

    // Settings, kept across loads.
    void set_target(QWidget* target) { target_ = target; }
    void set_alpha(bool on) { use_alpha_ = on; }
    void set_transparency(bool on) { use_trans_ = on; }
    void set_own_background(bool on, std::int32_t colour);
    // Where on the target the image goes; keep_target_size true keeps the target's size.
    void set_placement(bool keep_target_size, std::int32_t x, std::int32_t y);

    // Load and draw. Gives false when the data was refused (error_number says
    // why) or the file or resource cannot be read (error_number unchanged).
    bool open_file(const QString& filename);
    bool open_resource(const QString& id, const QString& type);
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
    bool own_background_ = false;
    std::int32_t own_color_ = 0;
    bool keep_target_size_ = false;
    int x_ = 0, y_ = 0;
    QImage image_;
};

} // namespace keeprun
