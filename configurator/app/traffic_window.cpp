#include "app/traffic_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>

#include "toolkit/toolkit.h"
#include "ui_traffic_window.h"

namespace {
const QString kTextFilter = QStringLiteral("Text Files (*.txt)|*.txt||");
}

CTrafficWindow::CTrafficWindow(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CTrafficWindow>()), model_(new TrafficModel(this)), timer_(new QTimer(this)) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("trafficWindow"));
    ui_->frameView->setModel(model_);
    ui_->frameView->verticalHeader()->hide();
    ui_->frameView->horizontalHeader()->setStretchLastSection(true);
    ui_->frameView->setColumnWidth(TrafficModel::kTime, 120);
    ui_->frameView->setColumnWidth(TrafficModel::kDirection, 50);
    ui_->frameView->setColumnWidth(TrafficModel::kBytes, 260);
    connect(ui_->clearButton, &QPushButton::clicked, model_, &TrafficModel::Clear);
    connect(ui_->saveButton, &QPushButton::clicked, this, &CTrafficWindow::Save);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::hide);
    connect(timer_, &QTimer::timeout, this, &CTrafficWindow::Drain);
    timer_->start(kDrainPeriodMs);
}

CTrafficWindow::~CTrafficWindow() = default;

void CTrafficWindow::Drain() {
    const std::vector<TrafficFrame> frames = queue_.Take();
    if (frames.empty() || ui_->pauseButton->isChecked()) return;
    // Follow the newest frame unless the user scrolled up to read.
    const QScrollBar* bar = ui_->frameView->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    model_->Append(frames);
    if (atBottom) ui_->frameView->scrollToBottom();
}

void CTrafficWindow::Save() {
    const std::optional<QString> path = qrvtune::CurrentToolkit().SaveFileName(this, kTextFilter);
    if (!path) return;
    QFile file(*path);
    const QByteArray text = model_->Text().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        qrvtune::ShowMessage(QCoreApplication::translate("CTrafficWindow", "无法保存通信记录到“%1”").arg(*path), qrvtune::MessageIcon::Warning);
}

void AddTrafficMenu(QMenuBar& bar, CTrafficWindow& window) {
    QMenu* view = bar.addMenu(QCoreApplication::translate("CTrafficWindow", "查看(&V)"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QAction* traffic = view->addAction(QCoreApplication::translate("CTrafficWindow", "通信记录(&T)..."));
    traffic->setObjectName(QStringLiteral("trafficAction"));
    QObject::connect(traffic, &QAction::triggered, &window, [&window] {
        window.show();
        window.raise();
        window.activateWindow();
    });
}
