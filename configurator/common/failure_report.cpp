#include "common/failure_report.h"

#include <QCoreApplication>

#include "qrvlink/qrvlink.h"

namespace qrvtune {

PortLoss& PortLoss::Instance() {
    static PortLoss notifier;
    return notifier;
}

void ReportIfPortLost(const SdkFailure& failure) {
    if (failure.reason == QRV_FAIL_PORT_LOST) Q_EMIT PortLoss::Instance().Lost();
}

void ShowFailure(const QString& text, MessageIcon icon, const SdkFailure& failure) {
    ReportIfPortLost(failure);
    ShowMessage(text, icon, FailureAdvice(failure));
}

void PostFailure(const QString& text, MessageIcon icon, const SdkFailure& failure) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [text, icon, failure] { ShowFailure(text, icon, failure); },
        Qt::QueuedConnection);
}

}  // namespace qrvtune
