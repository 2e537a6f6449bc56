#include "views/views.h"

#include <QPointer>
#include <QtGlobal>

#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"

namespace {

// The pages of the existing set. Guarded pointers: whoever deletes a page
// first, the set never deletes it twice.
struct Pages {
    Session* session = nullptr;
    QPointer<CViewLocalDevList> local;
    QPointer<CViewRemoteDevList> remote;
    QPointer<CViewBaseInfo> form;
    QPointer<CViewDevAdvCfg> advanced;
    QPointer<CViewADIO> io;
};

Pages* current = nullptr;

Pages& CurrentPages() {
    Q_ASSERT_X(current != nullptr, "views", "no CViewSet exists");
    return *current;
}

}  // namespace

CViewSet::CViewSet(Session& session) {
    Q_ASSERT_X(current == nullptr, "CViewSet", "a set of pages exists already");
    // Published before the pages are built: a page may reach another while
    // it builds itself.
    current = new Pages;
    current->session = &session;
    current->local = new CViewLocalDevList(session);
    current->remote = new CViewRemoteDevList(session);
    current->form = new CViewBaseInfo();
    current->advanced = new CViewDevAdvCfg(session);
    current->io = new CViewADIO(session);
}

CViewSet::~CViewSet() {
    delete current->io.data();
    delete current->advanced.data();
    delete current->form.data();
    delete current->remote.data();
    delete current->local.data();
    delete current;
    current = nullptr;
}

CViewLocalDevList& ViewLocalDevList() { return *CurrentPages().local; }
CViewRemoteDevList& ViewRemoteDevList() { return *CurrentPages().remote; }
CViewBaseInfo& ViewBaseInfo() { return *CurrentPages().form; }
CViewDevAdvCfg& ViewDevAdvCfg() { return *CurrentPages().advanced; }
CViewADIO& ViewADIO() { return *CurrentPages().io; }
Session& SessionState() { return *CurrentPages().session; }
