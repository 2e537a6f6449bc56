#pragma once
// Messages the local and the network module pages share. The texts keep
// their trailing blanks as users have always seen them.
#include <QString>

QString ModifyFailedText();  // "修改失败    "
QString CommandSentText();   // "发送命令成功！"
QString SelectDeviceText();  // "请选择设备": a network action without a selected row

// After "修改成功": the module did not answer the read that follows the
// write, so the pages show the values sent rather than the values stored.
void ShowReadBackFailed();
