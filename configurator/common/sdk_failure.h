#pragma once
// Why an SDK call failed, in words a user can act on. The SDK keeps the
// reason of the calling thread's last failing call (like errno), so it is
// read on that thread right after the call; a worker carries it back to the
// window thread in an SdkFailure.
#include <QString>

namespace qrvtune {

struct SdkFailure {
    int reason = 0;  // QRV_FAIL_*; 0 when the call succeeded or said nothing
    QString detail;  // the SDK's one English line of facts
};

// The calling thread's last failure, as the SDK keeps it now.
SdkFailure LastSdkFailure();

// What happened and what to do, in the interface language, ending with the
// SDK's detail line; empty when the reason gives the user nothing to do.
QString FailureAdvice(const SdkFailure& failure);

}  // namespace qrvtune
