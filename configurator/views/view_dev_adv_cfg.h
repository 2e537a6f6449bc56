#pragma once
// Page "高级": framing and retry values, and the firmware upgrade.
#include <memory>

#include "views/page_base.h"

namespace Ui {
class CViewDevAdvCfg;
}

class CViewDevAdvCfg : public CPageBase {
public:
    explicit CViewDevAdvCfg(QWidget* parent = nullptr);
    ~CViewDevAdvCfg() override;

private:
    std::unique_ptr<Ui::CViewDevAdvCfg> ui_;
};
