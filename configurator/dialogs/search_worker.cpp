#include "dialogs/search_worker.h"

#include <QCoreApplication>
#include <QString>

#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"

std::atomic<int> SearchRunning{0};

QString LoadInfoFailedText() {
    return QCoreApplication::translate("SearchWorker", "获取本地信息失败，请确定你的ZigBee设备已经接到计算机上...");
}

namespace {

// Shown on the window thread; a worker blocked on a message box would stall
// a window thread that is waiting for that worker to stop.
void ReportLoadFailure() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { qrvtune::ShowMessage(LoadInfoFailedText(), qrvtune::MessageIcon::Error); },
        Qt::QueuedConnection);
}

}  // namespace

void SearchWorker(const SearchPlan& plan, qrvtune::SdkExchangeLease& lease) {
    if (Q_QRV_LoadInfo() == 0) {
        lease.Release();
        ReportLoadFailure();
        return;
    }
    for (int k = 0; k < kChannelCount; ++k) {
        if (!plan.channels[static_cast<std::size_t>(k)]) continue;
        const int channel = kFirstChannel + k;
        for (const int rate : plan.rates) {
            if (SearchRunning.load() == 0) {
                lease.Release();
                return;
            }
            if (rate == kRateNotChosen) continue;
            if (plan.mode == kSearchBroadcast)
                Q_QRV_SearchDev(channel, rate);
            else
                Q_QRV_SearchDevByAddr(channel, rate, plan.address);
        }
    }
    lease.Release();
    SearchRunning = 0;
}
