#pragma once
// Field hints: a description per editable field, kept in desc.ini beside the
// program (section "desc", key = the field's number), so that installers can
// reword them without a new build.
#include <QString>

// The numbers of the fields, as desc.ini keys them.
enum FieldHintNumber : int {
    kHintDevName = 1,
    kHintStatus = 2,
    kHintNetId = 3,
    kHintLocalAddr = 4,
    kHintDestAddr = 5,
    kHintWorkMode = 6,
    kHintUartBaud = 7,
    kHintUartDataBits = 8,
    kHintUartParity = 9,
    kHintUartStopBits = 10,
    kHintAirRate = 11,
    kHintTxPower = 12,
    kHintChannel = 13,
    kHintFrameGap = 14,
    kHintFrameLen = 15,
    kHintRetryCount = 16,
    kHintRetryInterval = 17,
};

// The hint for field `number`; empty when the file, section or key is
// missing. In English it comes from section "desc_en" when that has the key. An INI value is one line, so the file writes line breaks as the
// four characters \r\n; they come back as a real CR LF.
QString ReadFieldHint(int number);
