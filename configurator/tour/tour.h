#pragma once
// The scripted tour of Qrvtune: opens the port, reads the local module,
// searches the network, reads a far module, drives its IO lines, upgrades a
// far module's firmware and photographs every page and dialog on the way.
// A step whose page does not act yet (its button opens nothing and says
// nothing) is reported as skipped, not failed.
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CQrvtuneDlg;
class QTableWidget;
class QWidget;

namespace qrvtune::tour {

class TourToolkit;

struct TourOptions {
    QString outDir;        // the PNGs go here
    QString portPath;      // the simulated port
    int baud = 9600;       // as the simulator paces its answers
    QString firmwarePath;  // the image the upgrade sends
};

enum class StepStatus { Done, Skipped, Failed };

struct StepReport {
    QString name;
    StepStatus status = StepStatus::Done;
    QString note;
    QStringList pictures;  // file names in the output folder
};

const char* StatusName(StepStatus status);

class Tour {
public:
    Tour(TourOptions options, TourToolkit& toolkit);

    // Runs every step on the running main window, then closes it.
    void Run(CQrvtuneDlg& window);
    const std::vector<StepReport>& Reports() const { return reports_; }
    bool Failed() const;

private:
    using StepBody = std::function<void(StepReport&)>;
    // Runs one step; a missing control fails it instead of the whole tour.
    StepStatus Step(const QString& name, const StepBody& body);
    void Picture(StepReport& report, QWidget& widget, const QString& fileName);
    QString OutPath(const QString& fileName) const;

    void MainWindowStep(StepReport& report);
    void OpenPortStep(StepReport& report);
    void ReadLocalStep(StepReport& report);
    void PasswordStep(StepReport& report);
    void AdvancedStep(StepReport& report);
    void SearchStep(StepReport& report);
    void ReadFarStep(StepReport& report);
    void WirelessIoStep(StepReport& report);
    void TrafficStep(StepReport& report);
    void UpgradeStep(StepReport& report);
    void AboutStep(StepReport& report);

    void ShowLeftTab(int index);
    void ShowRightTab(int index);
    void FocusField(QWidget& field);
    // Selects the network list's row whose 设备ID column reads `address`
    // (lower-case hex); false when no such row.
    bool SelectModule(const QString& address);
    QTableWidget& ModuleList();

    TourOptions options_;
    TourToolkit& toolkit_;
    CQrvtuneDlg* window_ = nullptr;
    std::vector<StepReport> reports_;
};

}  // namespace qrvtune::tour
