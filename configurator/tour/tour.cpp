#include "tour/tour.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <cstdio>
#include <exception>

#include "app/qrvtune_dlg.h"
#include "common/record_fields.h"
#include "common/session_state.h"
#include "tour/tour_driver.h"
#include "tour/tour_toolkit.h"
#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

namespace qrvtune::tour {

namespace {

// Upper bounds only: each wait ends as soon as the windows show the outcome.
constexpr int kWindowActiveMs = 5000;
constexpr int kSearchMs = 120000;
constexpr int kUpgradeMs = 120000;

// The network the default simulator carries: the far modules the tour visits.
constexpr int kSearchChannel = 11;
constexpr int kSearchRate = 0;                     // 250 K
const QString kFarModule = QStringLiteral("102");  // P2P-Node-A
const QString kIoModule = QStringLiteral("203");   // a wireless-IO module wired for loopback
const QString kBootModule = QStringLiteral("506"); // waiting in its boot loader

constexpr int kRightTabForm = 0;
constexpr int kRightTabAdvanced = 1;
constexpr int kRightTabIo = 2;

void Print(const StepReport& report) {
    std::printf("  %-12s %s%s%s\n", report.name.toUtf8().constData(), StatusName(report.status),
                report.note.isEmpty() ? "" : ": ", report.note.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace

const char* StatusName(StepStatus status) {
    switch (status) {
        case StepStatus::Done: return "done";
        case StepStatus::Skipped: return "skipped";
        case StepStatus::Failed: return "FAILED";
    }
    return "?";
}

Tour::Tour(TourOptions options, TourToolkit& toolkit) : options_(std::move(options)), toolkit_(toolkit) {}

bool Tour::Failed() const {
    for (const StepReport& report : reports_)
        if (report.status == StepStatus::Failed) return true;
    return false;
}

QString Tour::OutPath(const QString& fileName) const { return QDir(options_.outDir).filePath(fileName); }

StepStatus Tour::Step(const QString& name, const StepBody& body) {
    StepReport report;
    report.name = name;
    std::printf("%s\n", name.toUtf8().constData());
    try {
        body(report);
    } catch (const std::exception& error) {
        report.status = StepStatus::Failed;
        report.note = QString::fromStdString(error.what());
    }
    Print(report);
    reports_.push_back(report);
    return report.status;
}

void Tour::Picture(StepReport& report, QWidget& widget, const QString& fileName) {
    Settle();
    if (!widget.grab().save(OutPath(fileName), "PNG"))
        throw std::runtime_error("cannot write " + OutPath(fileName).toStdString());
    if (!report.pictures.contains(fileName)) report.pictures << fileName;
}

void Tour::Run(CQrvtuneDlg& window) {
    window_ = &window;
    window.activateWindow();
    WaitUntil([&] { return window.isActiveWindow(); }, kWindowActiveMs);

    auto skip = [this](const QString& name, const QString& why) {
        StepReport report;
        report.name = name;
        report.status = StepStatus::Skipped;
        report.note = why;
        std::printf("%s\n", name.toUtf8().constData());
        Print(report);
        reports_.push_back(report);
    };
    auto step = [this](const QString& name, void (Tour::*body)(StepReport&)) {
        return Step(name, [this, body](StepReport& report) { (this->*body)(report); }) == StepStatus::Done;
    };

    step(QStringLiteral("main-window"), &Tour::MainWindowStep);
    const bool open = step(QStringLiteral("open-port"), &Tour::OpenPortStep);
    const bool local = open ? step(QStringLiteral("read-local"), &Tour::ReadLocalStep)
                            : (skip(QStringLiteral("read-local"), QStringLiteral("the port did not open")), false);
    if (local) step(QStringLiteral("password"), &Tour::PasswordStep);
    step(QStringLiteral("advanced"), &Tour::AdvancedStep);
    const bool found = local ? step(QStringLiteral("search"), &Tour::SearchStep)
                             : (skip(QStringLiteral("search"), QStringLiteral("the local module was not read")), false);
    const QStringList farSteps{QStringLiteral("read-far"), QStringLiteral("wireless-io"), QStringLiteral("traffic"),
                               QStringLiteral("upgrade")};
    if (found) {
        step(farSteps[0], &Tour::ReadFarStep);
        step(farSteps[1], &Tour::WirelessIoStep);
        step(farSteps[2], &Tour::TrafficStep);
        step(farSteps[3], &Tour::UpgradeStep);
    } else {
        for (const QString& name : farSteps) skip(name, QStringLiteral("no search results to pick a far module from"));
    }
    step(QStringLiteral("about"), &Tour::AboutStep);

    auto* close = window.findChild<QPushButton*>(QStringLiteral("closeButton"));
    if (close != nullptr && close->isVisible()) close->click();
    window.reject();  // as Esc: the program ends
}

// ---- Steps ----

void Tour::MainWindowStep(StepReport& report) { Picture(report, *window_, QStringLiteral("01-main-window.png")); }

void Tour::OpenPortStep(StepReport& report) {
    Find<QPushButton>(*window_, "rescanButton").click();
    // The simulator's announced link when the list found it, else its path typed in.
    auto& ports = Find<QComboBox>(*window_, "portCombo");
    const QString wanted = QFileInfo(options_.portPath).canonicalFilePath();
    int position = -1;
    for (int i = 0; i < ports.count() && position < 0; ++i)
        if (QFileInfo(ports.itemData(i).toString()).canonicalFilePath() == wanted) position = i;
    if (position >= 0)
        ports.setCurrentIndex(position);
    else
        ports.setEditText(options_.portPath);

    auto& baud = Find<QComboBox>(*window_, "baudCombo");
    const int baudPosition = baud.findText(QString::number(options_.baud));
    if (baudPosition < 0) throw std::runtime_error("the baud list has no " + std::to_string(options_.baud));
    baud.setCurrentIndex(baudPosition);

    const std::size_t before = toolkit_.MessageCount();
    Find<QPushButton>(*window_, "openButton").click();
    Picture(report, *window_, QStringLiteral("02-port-open.png"));
    if (!SessionState().PortOpen() || toolkit_.MessageCount() != before) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("cannot open ") + ports.currentText();
    }
}

void Tour::ReadLocalStep(StepReport& report) {
    const std::size_t before = toolkit_.MessageCount();
    const QString messagePicture = QStringLiteral("03-local-read-message.png");
    toolkit_.PhotographNextMessage(OutPath(messagePicture));
    Find<QPushButton>(ViewLocalDevList(), "readButton").click();
    toolkit_.PhotographNextMessage(QString());
    if (QFileInfo::exists(OutPath(messagePicture))) report.pictures << messagePicture;

    // A field with the focus shows its hint from desc.ini in the 备注 box.
    ShowRightTab(kRightTabForm);
    FocusField(Find<QComboBox>(ViewBaseInfo(), "channelCombo"));
    Picture(report, *window_, QStringLiteral("03-local-read.png"));
    if (!toolkit_.ArrivedSince(before, QCoreApplication::translate("CViewLocalDevList", "获取本地信息成功！"))) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("the local module did not answer");
    }
}

void Tour::PasswordStep(StepReport& report) {
    // "修改配置" asks for the module's password first; the tour only looks.
    const bool opened = OpenDialog(
        [] { Find<QPushButton>(ViewLocalDevList(), "modifyButton").click(); }, QStringLiteral("CDlgInputPwd"),
        [&](QDialog& dialog) {
            Find<QLineEdit>(dialog, "passwordEdit").setText(QStringLiteral("123456"));
            Picture(report, dialog, QStringLiteral("03-password.png"));
            Find<QPushButton>(dialog, "cancelButton").click();
        });
    if (!opened) throw std::runtime_error("the password dialog did not open");
}

void Tour::AdvancedStep(StepReport& report) {
    ShowRightTab(kRightTabAdvanced);
    FocusField(Find<QLineEdit>(ViewDevAdvCfg(), "frameGapEdit"));
    Picture(report, *window_, QStringLiteral("04-advanced.png"));
    ShowRightTab(kRightTabForm);
}

void Tour::SearchStep(StepReport& report) {
    ShowLeftTab(kLeftTabNetwork);
    const bool opened = OpenDialog(
        [] { Find<QPushButton>(ViewRemoteDevList(), "searchButton").click(); }, QStringLiteral("CDlgSearchDev"),
        [&](QDialog& dialog) {
            Find<QRadioButton>(dialog, "broadcastRadio").click();
            for (int channel = kChannelList.offset; channel < kChannelList.offset + kChannelList.count; ++channel)
                Find<QCheckBox>(dialog, ("channelCheck" + std::to_string(channel)).c_str())
                    .setChecked(channel == kSearchChannel);
            for (int rate = kAirRateList.offset; rate < kAirRateList.offset + kAirRateList.count; ++rate)
                Find<QCheckBox>(dialog, ("rateCheck" + std::to_string(rate)).c_str()).setChecked(rate == kSearchRate);
            Picture(report, dialog, QStringLiteral("05-search-settings.png"));

            Find<QPushButton>(dialog, "searchButton").click();
            // The dialog closes itself once the sweep ends; until then it is
            // photographed whenever another module turns up.
            auto& results = Find<QTableWidget>(dialog, "resultList");
            int shown = -1;
            WaitUntil(
                [&] {
                    if (!dialog.isVisible()) return true;
                    if (results.rowCount() != shown) {
                        shown = results.rowCount();
                        Picture(report, dialog, QStringLiteral("05-search-dialog.png"));
                    }
                    return false;
                },
                kSearchMs);
        });
    if (!opened) {
        report.status = StepStatus::Skipped;
        report.note = QStringLiteral("the network page opens no search dialog yet");
        return;
    }
    Picture(report, *window_, QStringLiteral("06-network-list.png"));
    if (ModuleList().rowCount() == 0) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("the search found no module");
    }
}

void Tour::ReadFarStep(StepReport& report) {
    if (!SelectModule(kFarModule)) throw std::runtime_error("module " + kFarModule.toStdString() + " was not found");
    const std::size_t before = toolkit_.MessageCount();
    Find<QPushButton>(ViewRemoteDevList(), "readButton").click();
    ShowRightTab(kRightTabForm);
    Picture(report, *window_, QStringLiteral("07-far-read.png"));
    if (!toolkit_.ArrivedSince(before, QCoreApplication::translate("CViewRemoteDevList", "获取成功！"))) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("the far module did not answer");
    }
}

void Tour::WirelessIoStep(StepReport& report) {
    if (!SelectModule(kIoModule)) throw std::runtime_error("module " + kIoModule.toStdString() + " was not found");
    ShowRightTab(kRightTabIo);
    QWidget& io = ViewADIO();
    for (int line = 1; line <= 4; ++line)
        Find<QCheckBox>(io, ("outputCheck" + std::to_string(line)).c_str()).setChecked(line == 1 || line == 3);
    auto& firstInput = Find<QCheckBox>(io, "inputCheck1");
    auto& firstAnalogue = Find<QLineEdit>(io, "adEdit1");

    const std::size_t before = toolkit_.MessageCount();
    Find<QPushButton>(io, "setOutputsButton").click();
    Find<QPushButton>(io, "readInputsButton").click();
    Find<QPushButton>(io, "readAdButton").click();
    Picture(report, *window_, QStringLiteral("08-wireless-io.png"));

    // The page reports only failures; success shows in the boxes.
    const bool answered = firstInput.isChecked() || !firstAnalogue.text().isEmpty();
    if (toolkit_.MessageCount() != before) {
        report.status = StepStatus::Failed;
        report.note = toolkit_.Messages().back().text;
    } else if (!answered) {
        report.status = StepStatus::Skipped;
        report.note = QStringLiteral("the wireless IO page does not act yet");
    }
}

void Tour::TrafficStep(StepReport& report) {
    // 查看 → 通信记录: the frames of the reads and the IO commands so far,
    // the last one chosen so that its details show below the list.
    auto* open = window_->findChild<QAction*>(QStringLiteral("trafficAction"));
    if (open == nullptr) throw std::runtime_error("the main window has no traffic item");
    open->trigger();
    auto* traffic = window_->findChild<QDialog*>(QStringLiteral("trafficWindow"));
    if (traffic == nullptr || !traffic->isVisible()) throw std::runtime_error("the traffic window did not open");
    Settle();
    auto* frames = traffic->findChild<QAbstractItemView*>(QStringLiteral("frameView"));
    if (frames != nullptr && frames->model() != nullptr && frames->model()->rowCount() > 0)
        frames->setCurrentIndex(frames->model()->index(frames->model()->rowCount() - 1, 0));
    Picture(report, *traffic, QStringLiteral("11-traffic.png"));
    const bool empty = frames == nullptr || frames->model() == nullptr || frames->model()->rowCount() == 0;
    traffic->hide();
    if (empty) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("the traffic window shows no frame");
    }
}

void Tour::UpgradeStep(StepReport& report) {
    if (!SelectModule(kBootModule)) throw std::runtime_error("module " + kBootModule.toStdString() + " was not found");
    ShowRightTab(kRightTabAdvanced);
    toolkit_.SetFileAnswer(options_.firmwarePath);
    const std::size_t before = toolkit_.MessageCount();
    const QString succeeded = QCoreApplication::translate("CDlgUpgradeFrame", "固件升级成功");
    const QString failed = QCoreApplication::translate("CDlgUpgradeFrame", "固件升级失败");
    const QString messagePicture = QStringLiteral("09-upgrade-message.png");
    const bool opened = OpenDialog(
        [] { Find<QPushButton>(ViewDevAdvCfg(), "upgradeButton").click(); }, QStringLiteral("CDlgUpgradeFrame"),
        [&](QDialog& dialog) {
            Find<QPushButton>(dialog, "browseButton").click();
            toolkit_.PhotographNextMessage(OutPath(messagePicture));
            Find<QPushButton>(dialog, "upgradeButton").click();
            WaitUntil([&] { return toolkit_.ArrivedSince(before, succeeded) || toolkit_.ArrivedSince(before, failed); },
                      kUpgradeMs);
            toolkit_.PhotographNextMessage(QString());
            Picture(report, dialog, QStringLiteral("09-upgrade-dialog.png"));
            Find<QPushButton>(dialog, "exitButton").click();
        });
    toolkit_.SetFileAnswer(std::nullopt);
    if (QFileInfo::exists(OutPath(messagePicture))) report.pictures << messagePicture;
    ShowRightTab(kRightTabForm);

    if (!opened) {
        const bool spoke = toolkit_.MessageCount() != before;
        report.status = spoke ? StepStatus::Failed : StepStatus::Skipped;
        report.note = spoke ? toolkit_.Messages().back().text
                            : QStringLiteral("the advanced page opens no upgrade dialog yet");
    } else if (!toolkit_.ArrivedSince(before, succeeded)) {
        report.status = StepStatus::Failed;
        report.note = QStringLiteral("the upgrade did not succeed");
    }
}

void Tour::AboutStep(StepReport& report) {
    // The about item of the Help menu and the window's own menu.
    auto* about = window_->findChild<QAction*>(QStringLiteral("aboutAction"));
    if (about == nullptr) throw std::runtime_error("the main window has no about item");
    const bool opened = OpenDialog([about] { about->trigger(); }, QStringLiteral("CAboutDlg"), [&](QDialog& dialog) {
        Picture(report, dialog, QStringLiteral("10-about.png"));
        Find<QPushButton>(dialog, "okButton").click();
    });
    if (!opened) throw std::runtime_error("the about box did not open");
}

// ---- Helpers ----

void Tour::ShowLeftTab(int index) { Find<QTabWidget>(*window_, "leftTabs").setCurrentIndex(index); }

void Tour::ShowRightTab(int index) { Find<QTabWidget>(*window_, "rightTabs").setCurrentIndex(index); }

void Tour::FocusField(QWidget& field) {
    window_->activateWindow();
    WaitUntil([this] { return window_->isActiveWindow(); }, kWindowActiveMs);
    field.setFocus(Qt::MouseFocusReason);
    Settle();
}

QTableWidget& Tour::ModuleList() { return Find<QTableWidget>(ViewRemoteDevList(), "moduleList"); }

bool Tour::SelectModule(const QString& address) {
    ShowLeftTab(kLeftTabNetwork);
    QTableWidget& list = ModuleList();
    constexpr int kAddressColumn = 1;
    for (int row = 0; row < list.rowCount(); ++row) {
        const QTableWidgetItem* cell = list.item(row, kAddressColumn);
        if (cell != nullptr && cell->text() == address) {
            list.selectRow(row);
            return true;
        }
    }
    return false;
}

}  // namespace qrvtune::tour
