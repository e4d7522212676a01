#pragma once
// The self-closing notice "复制成功！" of a copy made with data_cp.
#include <QDialog>
#include <QTimer>

namespace keeprun {

class Ftishi : public QDialog {
  public:
    explicit Ftishi(QWidget* parent);
    QTimer Timer1; // 600 ms, then the notice unloads itself
};

} // namespace keeprun
