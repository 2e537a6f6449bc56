#include "views/view_base_info.h"

#include "ui_view_base_info.h"

CViewBaseInfo::CViewBaseInfo(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewBaseInfo>()) {
    ui_->setupUi(this);
}

CViewBaseInfo::~CViewBaseInfo() = default;
