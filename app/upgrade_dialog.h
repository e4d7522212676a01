#pragma once
// The upgrade notice: a newer version exists and this one will not run.
#include <QDialog>
#include <QPushButton>

namespace keeprun {

class UpgradeDialog : public QDialog {
  public:
    explicit UpgradeDialog(QWidget* parent = nullptr);
    QPushButton* download_button; // "马上下载", the default button
};

} // namespace keeprun
