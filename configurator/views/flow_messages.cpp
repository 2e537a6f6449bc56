#include "views/flow_messages.h"

#include <QCoreApplication>

#include "toolkit/toolkit.h"

QString ModifyFailedText() { return QCoreApplication::translate("FlowMessages", "修改失败    "); }

QString CommandSentText() { return QCoreApplication::translate("FlowMessages", "发送命令成功！"); }

QString SelectDeviceText() { return QCoreApplication::translate("FlowMessages", "请选择设备"); }

void ShowReadBackFailed() {
    // A changed baud rate, address, channel or air rate takes effect at the
    // module's restart: the old line settings or search entry no longer reach it.
    qrvtune::ShowMessage(QCoreApplication::translate(
                             "FlowMessages",
                             "修改已写入，但未能读回模块的配置，表单中显示的是写入的值。如果修改了串口参数、地址、"
                             "信道或速率，请按新的参数重新打开串口或重新搜索，再读取。"),
                         qrvtune::MessageIcon::Warning);
}
