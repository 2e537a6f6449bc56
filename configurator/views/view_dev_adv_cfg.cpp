#include "views/view_dev_adv_cfg.h"

#include "ui_view_dev_adv_cfg.h"

CViewDevAdvCfg::CViewDevAdvCfg(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewDevAdvCfg>()) {
    ui_->setupUi(this);
}

CViewDevAdvCfg::~CViewDevAdvCfg() = default;
