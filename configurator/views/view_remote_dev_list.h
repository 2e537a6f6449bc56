#pragma once
// Page "网络设备": the modules the last network search found.
#include <memory>

#include "views/page_base.h"

namespace Ui {
class CViewRemoteDevList;
}

class CViewRemoteDevList : public CPageBase {
public:
    explicit CViewRemoteDevList(QWidget* parent = nullptr);
    ~CViewRemoteDevList() override;

private:
    std::unique_ptr<Ui::CViewRemoteDevList> ui_;
};
