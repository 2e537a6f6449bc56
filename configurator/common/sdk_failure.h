#pragma once
// Why an SDK call failed, in words a user can act on. The SDK keeps the
// reason of the calling thread's last failing call (like errno), so it is
// read on that thread right after the call; a worker carries it back to the
// window thread in an SdkFailure.
#include <QString>

namespace qrvtune {

// The facts come as fields (Q_GetLastFailureInfo): the advice is written
// from them in the window's language, never read back out of the detail.
struct SdkFailure {
    int reason = 0;  // QRV_FAIL_*; 0 when the call succeeded or said nothing
    QString detail;  // the SDK's one English line of facts, shown as it is
    QString path{};  // the port concerned; empty when unknown
    qint64 holderPid = 0;  // a busy port's holder, 0 when unknown
    QString holderProgram{};
    quint32 baudRate = 0;  // the silent line's rate, 0 when unknown
    int status = -1;       // a refusal's status byte, -1 when none
};

// The calling thread's last failure, as the SDK keeps it now.
SdkFailure LastSdkFailure();

// What happened and what to do, in the interface language, ending with the
// SDK's detail line; empty when the reason gives the user nothing to do.
QString FailureAdvice(const SdkFailure& failure);

}  // namespace qrvtune
