#include "app/sdk_messages.h"

#include <QString>

#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"

namespace {

void ShowSdkMessage(int kind, const char* text, void* /*user*/) {
    using qrvtune::MessageIcon;
    MessageIcon icon = MessageIcon::None;
    if (kind == Q_MSG_INFORMATION) icon = MessageIcon::Information;
    if (kind == Q_MSG_WARNING) icon = MessageIcon::Warning;
    if (kind == Q_MSG_ERROR) icon = MessageIcon::Error;
    qrvtune::ShowMessage(QString::fromUtf8(text), icon);
}

}  // namespace

void InstallSdkMessageHandler() { Q_SetMessageHandler(&ShowSdkMessage, nullptr); }
