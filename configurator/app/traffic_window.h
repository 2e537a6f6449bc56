#pragma once
// "通信记录": the frames on the line as they pass, each with its time,
// direction, bytes and meaning, newest at the bottom; pause, clear and save
// as text. It records from the moment the main window exists, so a failure
// can be looked into after the fact.
#include <QDialog>

#include <memory>

#include "app/traffic_log.h"

class QMenuBar;
class QTimer;
class QPlainTextEdit;

namespace Ui {
class CTrafficWindow;
}

class CTrafficWindow : public QDialog {
public:
    static constexpr int kDrainPeriodMs = 100;

    explicit CTrafficWindow(QWidget* parent = nullptr);
    ~CTrafficWindow() override;

    TrafficModel& Model() { return *model_; }
    TrafficQueue& Queue() { return queue_; }
    // Takes the frames queued since the last time into the list (dropped
    // while paused); the window's timer calls it every kDrainPeriodMs.
    void Drain();

private:
    void Save();
    // The pause button says whether the window is paused.
    void ShowPaused(bool paused);
    void ShowSelectedDetails();

    std::unique_ptr<Ui::CTrafficWindow> ui_;
    TrafficQueue queue_;
    TrafficModel* model_;
    QTimer* timer_;
    QPlainTextEdit* details_;  // the selected frame whole
};

// The menu bar's "查看" menu with "通信记录", which shows `window`.
void AddTrafficMenu(QMenuBar& bar, CTrafficWindow& window);
