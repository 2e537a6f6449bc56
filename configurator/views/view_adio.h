#pragma once
// Page "无线IO": inputs, outputs and analogue values of a wireless-IO module.
#include <memory>

#include "views/page_base.h"

namespace Ui {
class CViewADIO;
}

class CViewADIO : public CPageBase {
public:
    explicit CViewADIO(QWidget* parent = nullptr);
    ~CViewADIO() override;

private:
    std::unique_ptr<Ui::CViewADIO> ui_;
};
