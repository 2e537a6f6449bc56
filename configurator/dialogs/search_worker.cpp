#include "dialogs/search_worker.h"

#include <QCoreApplication>
#include <QString>

#include "common/failure_report.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"

std::atomic<int> SearchRunning{0};

QString LoadInfoFailedText() {
    return QCoreApplication::translate("SearchWorker", "获取本地信息失败，请确定你的ZigBee设备已经接到计算机上...");
}

QString SweepPortLostText() {
    return QCoreApplication::translate("SearchWorker", "搜索已中止：串口已断开");
}

namespace {

// The lease goes before the message: the window thread closes a lost port,
// which needs the link. Posted, not shown: a worker blocked on a message box
// would stall a window thread that is waiting for that worker to stop.
void EndWithFailure(qrvtune::SdkExchangeLease& lease, const QString& text, const qrvtune::SdkFailure& failure) {
    lease.Release();
    qrvtune::PostFailure(text, qrvtune::MessageIcon::Error, failure);
    // A lost port ends the sweep: there is nothing left to wait for.
    if (failure.reason == QRV_FAIL_PORT_LOST) SearchRunning = 0;
}

}  // namespace

void SearchWorker(const SearchPlan& plan, qrvtune::SdkExchangeLease& lease) {
    if (Q_QRV_LoadInfo() == 0) {
        EndWithFailure(lease, LoadInfoFailedText(), qrvtune::LastSdkFailure());
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
            const int found = plan.mode == kSearchBroadcast ? Q_QRV_SearchDev(channel, rate)
                                                            : Q_QRV_SearchDevByAddr(channel, rate, plan.address);
            // A silent pair is normal; a lost port ends the sweep, saying so.
            if (found == 0) {
                const qrvtune::SdkFailure failure = qrvtune::LastSdkFailure();
                if (failure.reason == QRV_FAIL_PORT_LOST) return EndWithFailure(lease, SweepPortLostText(), failure);
            }
        }
    }
    lease.Release();
    SearchRunning = 0;
}
