#pragma once
// Page "本地设备": the module on the open serial port. Reads its identity and
// configuration into the session and onto the form pages, writes a changed
// configuration back after the password check, restarts the module and
// restores its factory settings. Every SDK call blocks the window until the
// exchange is over, so each button returns with its message shown.
#include <QCoreApplication>
#include <memory>

#include "qrvlink/qrvlink.h"
#include "views/page_base.h"

class Session;

namespace Ui {
class CViewLocalDevList;
}

class CViewLocalDevList : public CPageBase {
    Q_OBJECT

public:
    explicit CViewLocalDevList(Session& session, QWidget* parent = nullptr);
    ~CViewLocalDevList() override;

Q_SIGNALS:
    // The local module's identity was read (or read back after a write):
    // the session holds it now.
    void LocalModuleRead();

private:
    // The four buttons.
    void OnRead();
    void OnModify();
    void OnReset();
    void OnFactoryRestore();
    // A successful read (or read-back): into the session and onto the pages.
    void TakeLocalRecords(const ModuleBase& base, const ModuleProperty& property);
    void ShowLocalBase(const ModuleBase& base);

    Session& session_;
    std::unique_ptr<Ui::CViewLocalDevList> ui_;
};
