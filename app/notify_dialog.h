#pragma once
// "通知设置": where notices go (a chat group's bot, its kind and secret), which
// events to send, a test message and how the last message fared.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/notice_relay.h"
#include "schedule/session.h"

namespace keeprun {

class NotifyDialog : public QDialog {
  public:
    // Both must outlive the dialog.
    NotifyDialog(Session& session, NoticeRelay& relay, QWidget* parent = nullptr);

    QLineEdit* url_edit = nullptr;
    QComboBox* kind_box = nullptr;
    QLineEdit* secret_edit = nullptr;
    std::array<QCheckBox*, 5> event_boxes{};
    QPushButton* test_button = nullptr;
    QLabel* status_label = nullptr;

  private:
    NotifySettings settings() const;
    // Shows the address's fault and returns false when it cannot take notices.
    bool address_usable();
    void send_test();
    void save();

    Session& session_;
    NoticeRelay& relay_;
};

} // namespace keeprun
