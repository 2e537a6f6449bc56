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
    // "升级": upgrades the current target module through the upgrade dialog
    // (view_dev_adv_cfg_upgrade.cpp).
    void UpgradeTarget();

    std::unique_ptr<Ui::CViewDevAdvCfg> ui_;
};
