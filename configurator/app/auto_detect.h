#pragma once
// "自动检测" beside the port controls: every port of the list (the chosen
// one first) at every baud rate, fastest first, on a worker so the window
// keeps painting. The first port where a module answers is selected with
// its rate and opened; when none answers the user is told what was tried.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/worker_thread.h"

class QComboBox;
class QGridLayout;
class QPushButton;
class QTimer;
class QWidget;

namespace qrv::client {
struct PortScan;
}

// The serial panel as the detection uses it.
struct PortPanel {
    QWidget* settings = nullptr;  // disabled while the scan runs
    QComboBox* port = nullptr;
    QComboBox* baud = nullptr;
    QComboBox* dataBits = nullptr;
    QComboBox* parity = nullptr;
    QComboBox* stopBits = nullptr;
    std::function<void()> open;  // the panel's own open, with what is selected
};

class AutoDetect final : public QObject {
public:
    // Adds the button to `layout` at (row, column); it lives as long as its
    // parent `window`.
    AutoDetect(QWidget* window, QGridLayout& layout, int row, int column, PortPanel panel);

    QPushButton* Button() const { return button_; }
    bool Running() const { return timer_ != nullptr; }

private:
    void Start();
    void Poll();
    void Finish(const std::vector<qrv::client::PortScan>& scans);
    // The ports to try: the one in the field first, then the rest of the list.
    std::vector<std::string> PortsToTry() const;

    struct Shared;
    PortPanel panel_;
    QPushButton* button_;
    QTimer* timer_ = nullptr;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<qrvtune::WorkerThread> worker_;
};

// What the user is told when no module answered: the ports tried (those
// that would not open marked) and the rates.
QString NothingDetectedText(const std::vector<qrv::client::PortScan>& scans);
