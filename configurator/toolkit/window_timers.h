#pragma once
// Numbered window timers: start by id and period, stop by id. Ticks arrive
// on the thread of the owning window, one call of `onTick(id)` each.
#include <QObject>

#include <functional>
#include <map>

class QTimer;

namespace qrvtune {

class WindowTimers final : public QObject {
public:
    WindowTimers(QObject* window, std::function<void(int id)> onTick);

    // Starting a running id again restarts it with the new period.
    void Start(int id, int periodMs);
    void Stop(int id);
    bool IsRunning(int id) const;

private:
    std::function<void(int)> onTick_;
    std::map<int, QTimer*> timers_;
};

}  // namespace qrvtune
