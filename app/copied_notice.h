#pragma once
// The self-closing notice "复制成功！" of a copy made with copy_with_notice.
#include <QDialog>
#include <QTimer>

namespace keeprun {

class CopiedNotice : public QDialog {
  public:
    explicit CopiedNotice(QWidget* parent);
    QTimer close_timer; // 600 ms, then the notice unloads itself
};

} // namespace keeprun
