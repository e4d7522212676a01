#pragma once
// The short red ring that shows where a click landed. A small override-redirect
// window shaped to a ring, so it needs no compositor, never takes the focus and
// lets every input through to what lies below.
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

namespace keeprun {

class ClickMark : public QWidget {
  public:
    ClickMark();
    // Places the ring round `centre` (logical pixels) in `colour`.
    void place(QPoint centre, const QColor& colour);

    static constexpr int kRadius = 15;  // of the ring's centre line
    static constexpr int kPenWidth = 4; // pixels
    static constexpr double kSeconds = 0.3;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

// A screen as the system places it: its area in logical pixels and its scale.
struct ScreenScale {
    QRect area;
    double ratio = 1.0;
};
// The logical point of a device pixel, on the screen whose device pixels hold it
// (each screen keeps its top-left corner and scales from there), else on the first.
QPoint logical_point(const std::vector<ScreenScale>& screens, QPoint device);

// Shows the ring round the point (device pixels, as the mouse routines use them)
// for 0.3 s; the window keeps processing its messages meanwhile.
void show_click_mark(const QColor& colour, int device_x, int device_y);

} // namespace keeprun
