#include "common/sdk_exchange_guard.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace qrvtune {
namespace {

// How often a waiting window thread looks again; short beside any exchange.
constexpr int kGuardPollMs = 10;

struct Link {
    std::mutex mutex;
    std::condition_variable freed;
    bool held = false;
    bool heldByWindowThread = false;
};

Link& TheLink() {
    static Link link;
    return link;
}

bool TryHold(bool windowThread) {
    Link& link = TheLink();
    std::lock_guard lock(link.mutex);
    if (link.held) return false;
    link.held = true;
    link.heldByWindowThread = windowThread;
    return true;
}

bool OnWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

bool WindowThreadHolds() {
    Link& link = TheLink();
    std::lock_guard lock(link.mutex);
    return link.held && link.heldByWindowThread;
}

void BlockUntilHeld(bool windowThread) {
    Link& link = TheLink();
    std::unique_lock lock(link.mutex);
    link.freed.wait(lock, [&link] { return !link.held; });
    link.held = true;
    link.heldByWindowThread = windowThread;
}

// Waits nested on the window thread (a timer's handler that waits inside
// another wait) form a stack; only the innermost one may take the link, since
// the outer ones cannot go on before it has returned.
int& WindowWaitDepth() {
    static int depth = 0;  // touched on the window thread only
    return depth;
}

// The window thread keeps serving events while it waits: a worker may need it
// to show a message box before that worker can end. False when the window
// thread itself came to hold the link meanwhile.
bool ServeEventsUntilHeld(bool windowLease) {
    const int level = ++WindowWaitDepth();
    const bool cursor = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (cursor) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool held = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, &held, level, windowLease] {
        if (WindowWaitDepth() != level) return;
        if (TryHold(windowLease)) {
            held = true;
            loop.quit();
        } else if (WindowThreadHolds()) {
            loop.quit();
        }
    });
    poll.start(kGuardPollMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (cursor) QGuiApplication::restoreOverrideCursor();
    --WindowWaitDepth();
    return held;
}

}  // namespace

SdkExchangeLease::SdkExchangeLease(SdkExchangeLease&& other) noexcept : held_(other.held_) { other.held_ = false; }

SdkExchangeLease& SdkExchangeLease::operator=(SdkExchangeLease&& other) noexcept {
    if (this != &other) {
        Release();
        held_ = other.held_;
        other.held_ = false;
    }
    return *this;
}

void SdkExchangeLease::Release() {
    if (!held_) return;
    held_ = false;
    Link& link = TheLink();
    {
        std::lock_guard lock(link.mutex);
        link.held = false;
        link.heldByWindowThread = false;
    }
    link.freed.notify_all();
}

SdkExchangeLease SdkExchangeGuard::Hold(bool forWorker) {
    const bool window = OnWindowThread();
    const bool windowLease = window && !forWorker;
    if (TryHold(windowLease)) return SdkExchangeLease(true);
    if (!window) {
        BlockUntilHeld(false);
        return SdkExchangeLease(true);
    }
    if (WindowThreadHolds()) return SdkExchangeLease();
    return SdkExchangeLease(ServeEventsUntilHeld(windowLease));
}

SdkExchangeLease SdkExchangeGuard::Acquire() { return Hold(false); }

SdkExchangeLease SdkExchangeGuard::AcquireForWorker() { return Hold(true); }

SdkExchangeLease SdkExchangeGuard::TryAcquire() {
    const bool window = OnWindowThread();
    if (TryHold(window)) return SdkExchangeLease(true);
    return SdkExchangeLease();
}

bool SdkExchangeGuard::Busy() {
    Link& link = TheLink();
    std::lock_guard lock(link.mutex);
    return link.held;
}

}  // namespace qrvtune
