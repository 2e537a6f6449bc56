#include "app/versions.h"

#include "qrvlink/qrvlink.h"

QString ProgramVersion() { return QStringLiteral(QRVTUNE_VERSION); }

QString SdkVersion() { return QString::fromLatin1(Q_GetVersion()); }
