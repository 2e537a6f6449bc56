#pragma once
// Dialog "搜索" (template 110): choose channels and air rates, sweep them on
// a worker thread while the results appear, and remember the choice.
#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "dialogs/search_worker.h"
#include "toolkit/window_timers.h"
#include "toolkit/worker_thread.h"

class QCheckBox;
class QLabel;

namespace Ui {
class CDlgSearchDev;
}

class CDlgSearchDev : public QDialog {
public:
    explicit CDlgSearchDev(QWidget* parent = nullptr);
    ~CDlgSearchDev() override;

    // Writes the "Channel" and "Rate" keys from the boxes.
    void SaveSearchSettings();

    // The window's close command and Esc: a running sweep is stopped and its
    // end awaited (as the stop action does) before the dialog goes away.
    void reject() override;

    static constexpr int kTimerId = 1025;
    static constexpr int kTimerPeriodMs = 200;
    static constexpr int kStopWaitMs = 10000;

private:
    void OnSearch();
    void OnStop();
    void OnExit();
    void OnAllClicked(bool checked);
    void OnTimer(int id);
    void UpdateData();  // controls into members
    void EndWithOk();
    void SetButtons(bool searchEnabled, bool searchShown, bool stopEnabled, bool stopShown, bool exitEnabled);
    void LoadSearchSettings();
    // Clears SearchRunning and waits for the worker, at most kStopWaitMs.
    void StopWorker();
    // The bar and the line under it from the running sweep's progress.
    void ShowSweepProgress();
    // A sweep that searched every pair and found nobody says so.
    void ReportNothingFound();

    std::unique_ptr<Ui::CDlgSearchDev> ui_;
    std::array<QCheckBox*, kChannelCount> channelBoxes_{};
    std::array<QCheckBox*, kRateCount> rateBoxes_{};
    qrvtune::WindowTimers* timers_ = nullptr;

    int mode_ = kSearchBroadcast;
    QString addressText_;
    int address_ = 0;
    std::array<bool, kChannelCount> channelFlags_{};
    std::array<int, kRateCount> rateFlags_{kRateNotChosen, kRateNotChosen, kRateNotChosen};
    int tick_ = 0;
    std::optional<qrvtune::WorkerThread> worker_;
    std::shared_ptr<SweepProgress> progress_;
    QLabel* sweepLabel_ = nullptr;  // "第 i / N 组（信道 C，速率 R）…"
    QString searchedAddress_;       // as the sweep searched for it, "0x1A2B"; empty: everyone
};
