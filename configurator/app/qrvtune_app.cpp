#include "app/qrvtune_app.h"

#include <QApplication>

#include "app/qrvtune_dlg.h"
#include "common/sdk_exchange_guard.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "views/views.h"

namespace {

// The SDK's own messages (a refused firmware image, say) appear as the
// program's message boxes.
void ShowSdkMessage(int kind, const char* text, void* /*user*/) {
    using qrvtune::MessageIcon;
    MessageIcon icon = MessageIcon::None;
    if (kind == Q_MSG_INFORMATION) icon = MessageIcon::Information;
    if (kind == Q_MSG_WARNING) icon = MessageIcon::Warning;
    if (kind == Q_MSG_ERROR) icon = MessageIcon::Error;
    qrvtune::ShowMessage(QString::fromUtf8(text), icon);
}

}  // namespace

bool CQrvtuneApp::InitInstance() {
    QApplication::setApplicationName(QStringLiteral("Qrvtune"));
    // Names the per-user settings location only; nothing is stored there.
    QApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));

    // The five pages exist before the main window builds its tab sets.
    ViewLocalDevList();
    ViewRemoteDevList();
    ViewBaseInfo();
    ViewDevAdvCfg();
    ViewADIO();

    Q_SetMessageHandler(&ShowSdkMessage, nullptr);
    {
        CQrvtuneDlg window;  // loads the skin
        window.exec();
    }
    // A search sweep that outlived its dialog must end before the SDK goes
    // away with the process.
    qrvtune::SdkExchangeGuard::Acquire();
    return false;
}

int CQrvtuneApp::ExitInstance() { return 0; }
