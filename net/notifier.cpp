#include "net/notifier.h"

#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <thread>

#include "net/notice_outbox.h"
#include "net/webhook.h"

namespace keeprun {
namespace {

std::int64_t steady_now() {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

struct Notifier::State {
    NoticeSend send;
    std::mutex m;
    std::condition_variable wake;
    bool stop = false;
    NotifySettings settings;
    NoticeOutbox outbox;
    std::string last_status;

    void run() {
        std::unique_lock lock(m);
        while (!stop) {
            const std::optional<std::vector<Notice>> due = outbox.due(steady_now());
            if (!due) {
                if (const auto next = outbox.next_due())
                    wake.wait_for(lock, std::chrono::seconds(*next - steady_now()));
                else
                    wake.wait(lock);
                continue;
            }
            const NotifySettings to = settings;
            lock.unlock();
            const std::string failure = send(to, *due);
            lock.lock();
            if (to.url != settings.url) continue; // cleared meanwhile
            const std::optional<std::string> dropped = outbox.sent(failure, steady_now());
            if (failure.empty()) last_status = "已发送：" + due->front().text;
            if (dropped) {
                std::cerr << "keeprun: " << *dropped << "\n";
                last_status = "发送失败，重试3次后已放弃：" + failure;
            }
            if (outbox.overflowed() > 0)
                last_status +=
                    "（队列已满，已丢弃最早的" + std::to_string(outbox.overflowed()) + "条）";
        }
    }
};

Notifier::Notifier(NoticeSend send) : state_(std::make_shared<State>()) {
    state_->send = send ? std::move(send) : NoticeSend(send_webhook);
    std::thread([state = state_] { state->run(); }).detach();
}

Notifier::~Notifier() {
    std::lock_guard lock(state_->m);
    state_->stop = true;
    state_->wake.notify_all();
}

void Notifier::set_settings(const NotifySettings& settings) {
    std::lock_guard lock(state_->m);
    if (settings.url != state_->settings.url) state_->outbox.clear();
    state_->settings = settings;
}

void Notifier::add(const Notice& notice) {
    std::lock_guard lock(state_->m);
    if (state_->settings.url.empty() || !state_->settings.wants(notice.event)) return;
    state_->outbox.add(notice, steady_now());
    state_->wake.notify_all();
}

std::string Notifier::last_status() const {
    std::lock_guard lock(state_->m);
    return state_->last_status;
}

} // namespace keeprun
