#include "common/record_text.h"

#include <QCoreApplication>

QString GetDevTypeName(unsigned devType) {
    switch (devType) {
        case 0x00: return QStringLiteral("BOOT");
        case 0x10: return QCoreApplication::translate("RecordText", "QRV设备(点对点设备)");
        case 0x11: return QCoreApplication::translate("RecordText", "KORVANET设备");
        case 0x12: return QCoreApplication::translate("RecordText", "VLX设备(无线IO设备)");
        default: return QString();
    }
}

QString FormatFwVersion(std::uint16_t version) {
    const int a = (version >> 12) & 0xF;
    const int b = (version >> 8) & 0xF;
    const int c = (version >> 4) & 0xF;
    const int d = version & 0xF;
    if (a != 0) return QStringLiteral("V%1%2.%3%4").arg(a).arg(b).arg(c).arg(d);
    return QStringLiteral("V%1.%2%3").arg(b).arg(c).arg(d);
}

QString RunStateText(std::uint8_t runState) {
    if (runState == kRunStateBoot) return QStringLiteral("BOOT");
    if (runState == kRunStateUser) return QStringLiteral("USER");
    return QStringLiteral("NOBOOT");
}
