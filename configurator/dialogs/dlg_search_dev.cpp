#include "dialogs/dlg_search_dev.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <algorithm>
#include <memory>
#include <vector>

#include "common/record_fields.h"
#include "common/sdk_exchange_guard.h"
#include "common/user_settings.h"
#include "dialogs/fill_module_list.h"
#include "dialogs/search_settings.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "ui_dlg_search_dev.h"
#include "widgets/hex_word_validator.h"

namespace {

constexpr int kProgressMax = 100;

}  // namespace

CDlgSearchDev::CDlgSearchDev(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CDlgSearchDev>()) {
    SearchRunning = 0;
    ui_->setupUi(this);
    for (int k = 0; k < kChannelCount; ++k)
        channelBoxes_[static_cast<std::size_t>(k)] =
            findChild<QCheckBox*>(QStringLiteral("channelCheck%1").arg(kFirstChannel + k));
    rateBoxes_ = {ui_->rateCheck0, ui_->rateCheck1, ui_->rateCheck2};
    timers_ = new qrvtune::WindowTimers(this, [this](int id) { OnTimer(id); });

    // Column widths in pixels: 序号, 设备ID, 设备类型, 运行状态.
    SetModuleListColumns(*ui_->resultList, {53, 60, 140, 100});
    ui_->resultList->verticalHeader()->hide();
    SetButtons(true, true, false, false, true);
    ui_->progressBar->setRange(0, kProgressMax);
    sweepLabel_ = new QLabel(this);
    sweepLabel_->setObjectName(QStringLiteral("sweepLabel"));
    ui_->dialogLayout->insertWidget(ui_->dialogLayout->indexOf(ui_->progressRow) + 1, sweepLabel_);
    LoadSearchSettings();
    ui_->broadcastRadio->setChecked(true);
    ui_->addressEdit->setValidator(NewHexWordValidator(ui_->addressEdit));

    connect(ui_->searchButton, &QPushButton::clicked, this, &CDlgSearchDev::OnSearch);
    connect(ui_->stopButton, &QPushButton::clicked, this, &CDlgSearchDev::OnStop);
    connect(ui_->exitButton, &QPushButton::clicked, this, &CDlgSearchDev::OnExit);
    connect(ui_->allCheck, &QCheckBox::clicked, this, &CDlgSearchDev::OnAllClicked);
    connect(ui_->broadcastRadio, &QRadioButton::clicked, this, [this] { ui_->addressEdit->setEnabled(false); });
    connect(ui_->addressRadio, &QRadioButton::clicked, this, [this] { ui_->addressEdit->setEnabled(true); });
}

CDlgSearchDev::~CDlgSearchDev() {
    // The dialog may go without reject() (its parent closing): same rule.
    StopWorker();
}

void CDlgSearchDev::LoadSearchSettings() {
    const std::vector<bool> channels = TicksFromIni(ReadUserSetting(kSearchSection, kChannelKey), kChannelCount);
    const std::vector<bool> rates = TicksFromIni(ReadUserSetting(kSearchSection, kRateKey), kRateCount);
    for (std::size_t k = 0; k < channelBoxes_.size(); ++k) channelBoxes_[k]->setChecked(channels[k]);
    for (std::size_t r = 0; r < rateBoxes_.size(); ++r) rateBoxes_[r]->setChecked(rates[r]);
}

void CDlgSearchDev::SaveSearchSettings() {
    UpdateData();
    std::vector<bool> channels;
    std::vector<bool> rates;
    for (const QCheckBox* box : channelBoxes_) channels.push_back(box->isChecked());
    for (const QCheckBox* box : rateBoxes_) rates.push_back(box->isChecked());
    // Beside the program, or in the user's folder when the program's cannot be written.
    WriteUserSetting(kSearchSection, kChannelKey, TicksToIni(channels));
    WriteUserSetting(kSearchSection, kRateKey, TicksToIni(rates));
}

void CDlgSearchDev::UpdateData() {
    mode_ = ui_->addressRadio->isChecked() ? kSearchByAddress : kSearchBroadcast;
    addressText_ = ui_->addressEdit->text();
}

void CDlgSearchDev::SetButtons(bool searchEnabled, bool searchShown, bool stopEnabled, bool stopShown,
                               bool exitEnabled) {
    ui_->searchButton->setEnabled(searchEnabled);
    ui_->searchButton->setVisible(searchShown);
    ui_->stopButton->setEnabled(stopEnabled);
    ui_->stopButton->setVisible(stopShown);
    ui_->exitButton->setEnabled(exitEnabled);
}

void CDlgSearchDev::OnSearch() {
    // A click queued before the button went away starts nothing.
    if (SearchRunning.load() != 0) return;
    // Waits (busy cursor) while a sweep from an earlier dialog is still
    // ending, so that its results cannot leak into this one; the dialog may
    // have been closed meanwhile.
    auto lease = std::make_shared<qrvtune::SdkExchangeLease>(qrvtune::SdkExchangeGuard::AcquireForWorker());
    if (!*lease || !isVisible()) return;

    Q_QRV_ClearSearchArr();
    tick_ = 0;
    UpdateData();
    // Text without a hexadecimal number keeps the previous address.
    if (const std::optional<std::uint16_t> scanned = ScanHexWord(addressText_)) address_ = *scanned;
    for (std::size_t k = 0; k < channelBoxes_.size(); ++k) channelFlags_[k] = channelBoxes_[k]->isChecked();
    for (std::size_t r = 0; r < rateBoxes_.size(); ++r)
        rateFlags_[r] = rateBoxes_[r]->isChecked() ? static_cast<int>(r) : kRateNotChosen;
    SearchRunning = 1;
    SetButtons(false, false, true, true, false);
    // The choice is remembered whatever ends the sweep.
    SaveSearchSettings();
    searchedAddress_ = mode_ == kSearchByAddress
                           ? QStringLiteral("0x") + QStringLiteral("%1").arg(address_, 4, 16, QLatin1Char('0')).toUpper()
                           : QString();
    progress_ = std::make_shared<SweepProgress>();
    ui_->progressBar->setValue(0);
    sweepLabel_->clear();

    const SearchPlan plan{mode_, address_, channelFlags_, rateFlags_, progress_};
    worker_ = qrvtune::WorkerThread::Start([plan, lease] { SearchWorker(plan, *lease); });
    timers_->Start(kTimerId, kTimerPeriodMs);
}

void CDlgSearchDev::OnStop() {
    StopWorker();
    ui_->searchButton->setEnabled(true);
    ui_->stopButton->setEnabled(false);
    SaveSearchSettings();
    // The next tick finds SearchRunning at 0 and closes the dialog with OK.
}

void CDlgSearchDev::OnExit() {
    SaveSearchSettings();
    EndWithOk();
}

void CDlgSearchDev::EndWithOk() {
    UpdateData();
    accept();
}

void CDlgSearchDev::OnAllClicked(bool checked) {
    for (QCheckBox* box : channelBoxes_) box->setChecked(checked);
    for (QCheckBox* box : rateBoxes_) box->setChecked(checked);
}

void CDlgSearchDev::OnTimer(int id) {
    if (id != kTimerId) return;
    if (SearchRunning.load() != 0) {
        if (ui_->resultList->rowCount() < Q_QRV_GetSearchDevCount()) FillModuleList(*ui_->resultList);
        ShowSweepProgress();
        return;
    }
    tick_ = 0;
    timers_->Stop(kTimerId);
    ui_->progressBar->setValue(0);
    ui_->exitButton->setEnabled(true);
    ui_->searchButton->setEnabled(true);
    ui_->stopButton->setEnabled(false);
    ReportNothingFound();
    EndWithOk();
}

void CDlgSearchDev::ShowSweepProgress() {
    if (!progress_) return;
    const int pairs = progress_->pairs.load();
    const int done = progress_->pairsDone.load();
    if (pairs <= 0) {
        // Still at the local module (or stuck there until "停止"): activity
        // only, 1 … 100, then again.
        tick_ = tick_ >= kProgressMax ? 1 : tick_ + 1;
        ui_->progressBar->setValue(tick_);
        return;
    }
    ui_->progressBar->setValue(done * kProgressMax / pairs);
    std::optional<int> secondsLeft;
    if (done > 0) secondsLeft = static_cast<int>(progress_->msSpent.load() / done * (pairs - done) / 1000);
    sweepLabel_->setText(SweepProgressText(std::min(done + 1, pairs), pairs, progress_->channel.load(),
                                           progress_->rate.load(), Q_QRV_GetSearchDevCount(), secondsLeft));
}

void CDlgSearchDev::ReportNothingFound() {
    if (!progress_ || !progress_->completed.load() || Q_QRV_GetSearchDevCount() > 0) return;
    const QString where = QCoreApplication::translate("CDlgSearchDev", "请确认设备已通电、与本地设备使用相同的网络 ID，并勾选它所在的信道和速率。");
    if (searchedAddress_.isEmpty())
        qrvtune::ShowMessage(QCoreApplication::translate("CDlgSearchDev", "在所选的信道和速率上没有找到设备。"), qrvtune::MessageIcon::Information, where);
    else
        qrvtune::ShowMessage(QCoreApplication::translate("CDlgSearchDev", "在所选的信道和速率上没有找到地址为 %1 的设备。").arg(searchedAddress_),
                             qrvtune::MessageIcon::Information, where);
}

void CDlgSearchDev::reject() {
    StopWorker();
    timers_->Stop(kTimerId);
    QDialog::reject();
}

void CDlgSearchDev::StopWorker() {
    if (!worker_) return;
    SearchRunning = 0;
    // A worker still inside an SDK call after this keeps the SDK link until
    // it ends; it needs nothing of the dialog (it works on a copied plan).
    worker_->Wait(kStopWaitMs);
}
