#include "views/view_local_dev_list.h"

#include "ui_view_local_dev_list.h"

CViewLocalDevList::CViewLocalDevList(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewLocalDevList>()) {
    ui_->setupUi(this);
}

CViewLocalDevList::~CViewLocalDevList() = default;
