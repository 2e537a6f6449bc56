#include "views/view_dev_adv_cfg.h"

#include <QPushButton>

#include "ui_view_dev_adv_cfg.h"

CViewDevAdvCfg::CViewDevAdvCfg(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewDevAdvCfg>()) {
    ui_->setupUi(this);
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &CViewDevAdvCfg::UpgradeTarget);
}

CViewDevAdvCfg::~CViewDevAdvCfg() = default;
