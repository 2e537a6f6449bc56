#include "dialogs/search_worker.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>

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

int ChosenPairs(const std::array<bool, kChannelCount>& channels, const std::array<int, kRateCount>& rates) {
    int chosenChannels = 0;
    int chosenRates = 0;
    for (const bool ticked : channels) chosenChannels += ticked ? 1 : 0;
    for (const int rate : rates) chosenRates += rate != kRateNotChosen ? 1 : 0;
    return chosenChannels * chosenRates;
}

QString SweepProgressText(int pair, int pairs, int channel, int rate, int found, std::optional<int> secondsLeft) {
    static const char* const kRateNames[kRateCount] = {"250K", "500K", "1M"};
    const QString rateName = rate >= 0 && rate < kRateCount ? QLatin1String(kRateNames[rate]) : QString();
    QString text = QCoreApplication::translate("SearchWorker", "第 %1 / %2 组（信道 %3，速率 %4）")
                       .arg(pair)
                       .arg(pairs)
                       .arg(channel)
                       .arg(rateName);
    text += QStringLiteral("  ") + QCoreApplication::translate("SearchWorker", "已找到 %1 个设备").arg(found);
    if (secondsLeft) {
        const int minutes = *secondsLeft / 60;
        const int seconds = *secondsLeft % 60;
        text += QStringLiteral("  ") +
                (minutes > 0 ? QCoreApplication::translate("SearchWorker", "剩余约 %1 分 %2 秒").arg(minutes).arg(seconds)
                             : QCoreApplication::translate("SearchWorker", "剩余约 %1 秒").arg(seconds));
    }
    return text;
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
    SweepProgress* progress = plan.progress.get();
    if (progress != nullptr) progress->pairs = ChosenPairs(plan.channels, plan.rates);
    for (int k = 0; k < kChannelCount; ++k) {
        if (!plan.channels[static_cast<std::size_t>(k)]) continue;
        const int channel = kFirstChannel + k;
        for (const int rate : plan.rates) {
            if (SearchRunning.load() == 0) {
                lease.Release();
                return;
            }
            if (rate == kRateNotChosen) continue;
            const auto started = std::chrono::steady_clock::now();
            if (progress != nullptr) {
                progress->channel = channel;
                progress->rate = rate;
            }
            // Counted when the pair ends, however it ends.
            struct PairDone {
                SweepProgress* progress;
                std::chrono::steady_clock::time_point started;
                ~PairDone() {
                    if (progress == nullptr) return;
                    progress->msSpent += std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - started)
                                             .count();
                    ++progress->pairsDone;
                }
            } pairDone{progress, started};
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
    if (progress != nullptr) progress->completed = true;
    SearchRunning = 0;
}
