#include "views/view_remote_dev_list.h"

#include <QHeaderView>

#include "ui_view_remote_dev_list.h"

CViewRemoteDevList::CViewRemoteDevList(QWidget* parent) : CPageBase(parent), ui_(std::make_unique<Ui::CViewRemoteDevList>()) {
    ui_->setupUi(this);
    // Column widths in pixels: 序号, 设备ID, 设备类型, 运行状态.
    const int widths[] = {53, 60, 140, 68};
    for (int column = 0; column < 4; ++column) ui_->moduleList->setColumnWidth(column, widths[column]);
    ui_->moduleList->verticalHeader()->hide();
}

CViewRemoteDevList::~CViewRemoteDevList() = default;
