#include "app/notify_dialog.h"

#include "net/webhook.h"
#include "schedule/local_ports.h"
#include "system/web_address.h"
#include "ui/qt_text.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

namespace keeprun {
namespace {

// In the order of WebhookKind.
const char* const kKindCaptions[] = {"企业微信群机器人", "钉钉群机器人", "飞书群机器人",
                                     "JSON（自建服务）"};
// In the order of NoticeEvent.
const char* const kEventCaptions[] = {"程序退出后重新打开", "程序未响应", "程序崩溃",
                                      "程序频繁退出", "定时关闭、重启"};

} // namespace

NotifyDialog::NotifyDialog(Session& session, NoticeRelay& relay, QWidget* parent)
    : QDialog(parent), session_(session), relay_(relay) {
    setWindowTitle(QStringLiteral("通知设置"));
    const NotifySettings& now = session.notify();

    url_edit = new QLineEdit(to_qstring(now.url), this);
    url_edit->setObjectName(QStringLiteral("notify_url"));
    url_edit->setPlaceholderText(QStringLiteral("群机器人的 Webhook 地址，留空则不发送"));
    url_edit->setMinimumWidth(420);
    kind_box = new QComboBox(this);
    kind_box->setObjectName(QStringLiteral("notify_kind"));
    for (const char* caption : kKindCaptions)
        kind_box->addItem(QString::fromUtf8(caption));
    kind_box->setCurrentIndex(static_cast<int>(now.kind));
    secret_edit = new QLineEdit(to_qstring(now.secret), this);
    secret_edit->setObjectName(QStringLiteral("notify_secret"));
    secret_edit->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    secret_edit->setPlaceholderText(QStringLiteral("加签密钥（SEC 开头），未开启加签可不填"));
    const auto kind_changed = [this] {
        secret_edit->setEnabled(
            webhook_kind_signs(static_cast<WebhookKind>(kind_box->currentIndex())));
    };
    connect(kind_box, &QComboBox::currentIndexChanged, this, kind_changed);
    kind_changed();

    auto* events = new QVBoxLayout;
    for (std::size_t i = 0; i < event_boxes.size(); ++i) {
        event_boxes[i] = new QCheckBox(QString::fromUtf8(kEventCaptions[i]), this);
        event_boxes[i]->setChecked(now.wants(static_cast<NoticeEvent>(i)));
        events->addWidget(event_boxes[i]);
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Webhook 地址："), url_edit);
    form->addRow(QStringLiteral("机器人类型："), kind_box);
    form->addRow(QStringLiteral("签名密钥："), secret_edit);
    form->addRow(QStringLiteral("发送这些事件："), events);

    status_label = new QLabel(this);
    status_label->setObjectName(QStringLiteral("notify_status"));
    status_label->setTextFormat(Qt::PlainText);
    status_label->setWordWrap(true);
    const std::string last = relay.notifier().last_status();
    status_label->setText(
        QStringLiteral("本机名称：") + to_qstring(relay.machine()) +
        (last.empty() ? QString() : QStringLiteral("\n最近一次：") + to_qstring(last)));

    test_button = new QPushButton(QStringLiteral("发送测试(&T)"), this);
    test_button->setObjectName(QStringLiteral("notify_test"));
    test_button->setAutoDefault(false);
    connect(test_button, &QPushButton::clicked, this, &NotifyDialog::send_test);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &NotifyDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(test_button);
    row->addStretch();
    row->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_label);
    layout->addLayout(row);
}

NotifySettings NotifyDialog::settings() const {
    NotifySettings s;
    s.url = url_edit->text().trimmed().toStdString();
    s.kind = static_cast<WebhookKind>(kind_box->currentIndex());
    s.secret = webhook_kind_signs(s.kind) ? secret_edit->text().trimmed().toStdString() : "";
    s.events = 0;
    for (std::size_t i = 0; i < event_boxes.size(); ++i)
        if (event_boxes[i]->isChecked()) s.events |= event_bit(static_cast<NoticeEvent>(i));
    return s;
}

bool NotifyDialog::address_usable() {
    const std::string url = settings().url;
    if (url.empty() || parse_web_address(url)) return true;
    status_label->setText(to_qstring(std::string(kWebhookAddressRule)));
    return false;
}

void NotifyDialog::send_test() {
    if (!address_usable()) return;
    const NotifySettings s = settings();
    if (s.url.empty()) {
        status_label->setText(QStringLiteral("请先填写 Webhook 地址"));
        return;
    }
    const Notice notice =
        test_notice(relay_.machine(), local_clock().now(), local_utc_offset_seconds());
    test_button->setEnabled(false);
    status_label->setText(QStringLiteral("正在发送测试消息……"));
    // The network gets its own thread; the answer comes back to the dialog if
    // it is still open.
    auto failure = std::make_shared<std::string>();
    QThread* thread =
        QThread::create([s, notice, failure] { *failure = send_webhook(s, {notice}); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, failure] {
        test_button->setEnabled(true);
        status_label->setText(failure->empty()
                                  ? QStringLiteral("发送成功，群里应已收到测试消息")
                                  : QStringLiteral("发送失败：") + to_qstring(*failure));
    });
    thread->start();
}

void NotifyDialog::save() {
    if (!address_usable()) return;
    session_.set_notify(settings());
    accept();
}

} // namespace keeprun
