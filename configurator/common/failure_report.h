#pragma once
// A failed operation's message box with the SDK's reason as its second text,
// and the one place that hears of a lost port: the main window listens and
// closes the port, so that re-plugging and "打开串口" work again.
#include <QObject>
#include <QString>

#include "common/sdk_exchange_guard.h"
#include "common/sdk_failure.h"
#include "toolkit/toolkit.h"

namespace qrvtune {

class PortLoss : public QObject {
    Q_OBJECT

public:
    static PortLoss& Instance();

Q_SIGNALS:
    // Emitted on the window thread, before the failure's message box opens.
    void Lost();
};

// Window thread: tells the main window when `failure` is a lost port.
void ReportIfPortLost(const SdkFailure& failure);

// Window thread: a lost port is reported first (the panel shows closed while
// the box is up), then the box shows `text` with the failure's advice.
void ShowFailure(const QString& text, MessageIcon icon, const SdkFailure& failure);

// Any thread: ShowFailure queued to the window thread; never waits, so a
// worker the window thread is waiting for cannot stall it.
void PostFailure(const QString& text, MessageIcon icon, const SdkFailure& failure);

// Window thread: WithSdkLink for a run of SDK calls that ends with the one
// whose result it returns (1 or true success, 0 failure). On failure
// `failure` holds why, read before anything else can reset it; 0 also when
// the link could not be held here.
template <typename Exchange>
int WithSdkLinkNoting(SdkFailure& failure, Exchange&& exchange) {
    return WithSdkLink([&] {
               const int result = static_cast<int>(std::forward<Exchange>(exchange)());
               if (result == 0) failure = LastSdkFailure();
               return result;
           }).value_or(0);
}

}  // namespace qrvtune
