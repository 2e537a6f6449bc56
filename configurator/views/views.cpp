#include "views/views.h"

#include <QPointer>

#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"

namespace {

template <typename View>
QPointer<View>& Slot() {
    static QPointer<View> view;
    return view;
}

template <typename View>
View& Instance() {
    QPointer<View>& view = Slot<View>();
    if (view.isNull()) view = new View();
    return *view;
}

template <typename View>
void Destroy() {
    delete Slot<View>().data();
}

}  // namespace

CViewLocalDevList& ViewLocalDevList() { return Instance<CViewLocalDevList>(); }
CViewRemoteDevList& ViewRemoteDevList() { return Instance<CViewRemoteDevList>(); }
CViewBaseInfo& ViewBaseInfo() { return Instance<CViewBaseInfo>(); }
CViewDevAdvCfg& ViewDevAdvCfg() { return Instance<CViewDevAdvCfg>(); }
CViewADIO& ViewADIO() { return Instance<CViewADIO>(); }

void qrvtune::detail::DestroyViewsForTests() {
    Destroy<CViewLocalDevList>();
    Destroy<CViewRemoteDevList>();
    Destroy<CViewBaseInfo>();
    Destroy<CViewDevAdvCfg>();
    Destroy<CViewADIO>();
}
