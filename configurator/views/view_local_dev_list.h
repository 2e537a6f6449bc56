#pragma once
// Page "本地设备": the module on the open serial port.
#include <memory>

#include "views/page_base.h"

namespace Ui {
class CViewLocalDevList;
}

class CViewLocalDevList : public CPageBase {
public:
    explicit CViewLocalDevList(QWidget* parent = nullptr);
    ~CViewLocalDevList() override;

private:
    std::unique_ptr<Ui::CViewLocalDevList> ui_;
};
