#pragma once
// Page "网络设备": the modules the last network search found, and reading,
// changing, restarting and factory-resetting the selected one over the air.
// Row i is the SDK's search result i; its position is the entry index.
#include <QCoreApplication>
#include <memory>

#include "views/page_base.h"

class Session;

namespace Ui {
class CViewRemoteDevList;
}

class CViewRemoteDevList : public CPageBase {
    Q_DECLARE_TR_FUNCTIONS(CViewRemoteDevList)

public:
    explicit CViewRemoteDevList(Session& session, QWidget* parent = nullptr);
    ~CViewRemoteDevList() override;

    // The first selected row, or -1. Also the target of the advanced and
    // wireless IO pages while this tab is active.
    int SelectedRow() const;

private:
    void OnSearch();
    void OnRead();
    void OnModify();
    void OnReset();
    void OnFactoryRestore();
    // Restart and factory restore: the same flow around a different call.
    void SendToSelected(int (*command)(int index));

    Session& session_;
    std::unique_ptr<Ui::CViewRemoteDevList> ui_;
};
