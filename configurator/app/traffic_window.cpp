#include "app/traffic_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>

#include <algorithm>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "toolkit/toolkit.h"
#include "ui_traffic_window.h"

namespace {
const QString kTextFilter = QStringLiteral("Text Files (*.txt)|*.txt||");
}

CTrafficWindow::CTrafficWindow(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::CTrafficWindow>()),
      model_(new TrafficModel(this)),
      timer_(new QTimer(this)),
      details_(new QPlainTextEdit(this)) {
    ui_->setupUi(this);
    details_->setObjectName(QStringLiteral("frameDetails"));
    details_->setReadOnly(true);
    details_->setMaximumHeight(details_->fontMetrics().lineSpacing() * 6);
    ui_->windowLayout->insertWidget(ui_->windowLayout->indexOf(ui_->frameView) + 1, details_);
    setObjectName(QStringLiteral("trafficWindow"));
    ui_->frameView->setModel(model_);
    ui_->frameView->verticalHeader()->hide();
    ui_->frameView->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for "hh:mm:ss.mmm" and the direction in either language.
    ui_->frameView->setColumnWidth(TrafficModel::kTime, fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000 ")) + 16);
    ui_->frameView->setColumnWidth(
        TrafficModel::kDirection,
        std::max(50, ui_->frameView->horizontalHeader()->fontMetrics().horizontalAdvance(
                         model_->headerData(TrafficModel::kDirection, Qt::Horizontal).toString()) + 24));
    ui_->frameView->setColumnWidth(TrafficModel::kBytes, 260);
    connect(ui_->clearButton, &QPushButton::clicked, model_, &TrafficModel::Clear);
    connect(ui_->saveButton, &QPushButton::clicked, this, &CTrafficWindow::Save);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::hide);
    connect(timer_, &QTimer::timeout, this, &CTrafficWindow::Drain);
    connect(ui_->pauseButton, &QPushButton::toggled, this, &CTrafficWindow::ShowPaused);
    connect(ui_->frameView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CTrafficWindow::ShowSelectedDetails);
    connect(model_, &QAbstractItemModel::modelReset, details_, &QPlainTextEdit::clear);
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

void CTrafficWindow::ShowPaused(bool paused) {
    ui_->pauseButton->setText(paused ? QCoreApplication::translate("CTrafficWindow", "已暂停（点击继续）")
                                     : QCoreApplication::translate("CTrafficWindow", "暂停"));
}

void CTrafficWindow::ShowSelectedDetails() {
    details_->setPlainText(model_->RowDetails(ui_->frameView->currentIndex().row()));
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
