#include "app/versions.h"

#include "qrvlink/qrvlink.h"

QString ProgramVersion() { return QStringLiteral(QRVTUNE_VERSION); }

QString SdkVersion() {
    return QStringLiteral("%1.%2.%3").arg(QRVLINK_VERSION_MAJOR).arg(QRVLINK_VERSION_MINOR).arg(QRVLINK_VERSION_PATCH);
}
