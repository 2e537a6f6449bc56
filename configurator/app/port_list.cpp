#include "app/port_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only links and terminal devices are ports; the simulator may keep other
// files (a pid, a ready mark) in the same directory.
bool LooksLikePort(const QFileInfo& entry) {
    if (entry.isSymLink()) return true;
    struct stat status {};
    return ::stat(QFile::encodeName(entry.absoluteFilePath()).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

}  // namespace

QString SimulatorPortDir() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/qrvsim");
    return QStringLiteral("/tmp/qrvsim-%1").arg(::getuid());
}

QString PortLabel(const QString& name, const QString& description) {
    return description.isEmpty() ? name : name + QStringLiteral(" — ") + description;
}

QList<PortEntry> AvailablePorts() {
    QList<PortEntry> ports;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        const QString description = !port.description().isEmpty() ? port.description() : port.manufacturer();
        QString details = port.systemLocation();
        if (!port.manufacturer().isEmpty()) details += QStringLiteral("\n") + port.manufacturer();
        if (!port.serialNumber().isEmpty()) details += QStringLiteral("\n") + port.serialNumber();
        ports.append({port.portName(), PortLabel(port.portName(), description), details});
    }
    // The simulator's links are long paths; the list names them by link.
    const QDir simulator(SimulatorPortDir());
    const auto entries = simulator.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!LooksLikePort(entry)) continue;
        const QString description = QCoreApplication::translate("PortList", "qrvsim 模拟网络");
        ports.append({entry.absoluteFilePath(), PortLabel(entry.fileName(), description), entry.absoluteFilePath()});
    }

    QStringList names;
    for (const PortEntry& port : ports) names << port.name;
    names.removeDuplicates();
    SortPortNames(names);
    QList<PortEntry> sorted;
    for (const QString& name : names)
        sorted.append(*std::find_if(ports.begin(), ports.end(), [&](const PortEntry& p) { return p.name == name; }));
    return sorted;
}

void SortPortNames(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
}
