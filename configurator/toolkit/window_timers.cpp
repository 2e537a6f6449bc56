#include "toolkit/window_timers.h"

#include <QTimer>

namespace qrvtune {

WindowTimers::WindowTimers(QObject* window, std::function<void(int id)> onTick)
    : QObject(window), onTick_(std::move(onTick)) {}

void WindowTimers::Start(int id, int periodMs) {
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { onTick_(id); });
    }
    timer->start(periodMs);
}

void WindowTimers::Stop(int id) {
    const auto found = timers_.find(id);
    if (found != timers_.end()) found->second->stop();
}

bool WindowTimers::IsRunning(int id) const {
    const auto found = timers_.find(id);
    return found != timers_.end() && found->second->isActive();
}

}  // namespace qrvtune
