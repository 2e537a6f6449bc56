#pragma once
// Page "无线IO": inputs, outputs and analogue values of a wireless-IO module,
// the local one or the one selected in the network list. The page does not
// check the device type; a note on it says these functions are for VLX
// modules only.
#include <QCoreApplication>
#include <QString>

#include <array>
#include <memory>

#include "views/operation_target.h"
#include "views/page_base.h"

class Session;

namespace Ui {
class CViewADIO;
}

class CViewADIO : public CPageBase {
    Q_DECLARE_TR_FUNCTIONS(CViewADIO)

public:
    explicit CViewADIO(Session& session, QWidget* parent = nullptr);
    ~CViewADIO() override;

    // Which module the page's actions are for; the main window answers.
    OperationTargetSource& TargetSource() { return target_; }

private:
    // fromControls: commit the controls into the state; else push the state
    // to the controls.
    void ExchangeData(bool fromControls);

    void ReadInputs();
    void SetOutputs();
    void ReadAnalogue();
    void SetDirections();

    Session& session_;
    std::unique_ptr<Ui::CViewADIO> ui_;
    std::array<int, 4> inputs_{};   // 0/1, line n at n - 1
    std::array<int, 4> outputs_{};  // as committed by the last "设置"
    std::array<QString, 4> analogue_;
    int direction1_ = -1;  // list positions: 0 "输入", 1 "输出", -1 none
    int direction2_ = -1;
    OperationTargetSource target_;
};
