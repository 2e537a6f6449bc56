#pragma once
// Page "基本信息": the property form of the module read last.
#include <memory>

#include "views/page_base.h"

namespace Ui {
class CViewBaseInfo;
}

class CViewBaseInfo : public CPageBase {
public:
    explicit CViewBaseInfo(QWidget* parent = nullptr);
    ~CViewBaseInfo() override;

private:
    std::unique_ptr<Ui::CViewBaseInfo> ui_;
};
