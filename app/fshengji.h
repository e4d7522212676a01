#pragma once
// The upgrade notice: a newer version exists and this one will not run.
#include <QDialog>
#include <QPushButton>

namespace keeprun {

class Fshengji : public QDialog {
  public:
    explicit Fshengji(QWidget* parent = nullptr);
    QPushButton* C_gn; // "马上下载", the default button
};

} // namespace keeprun
