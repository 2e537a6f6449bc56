#include "app/port_list.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

#include "client/port_list.h"

QString SimulatorPortDir() { return QString::fromStdString(qrv::client::SimulatorPortDirectory()); }

QString PortLabel(const QString& name, const QString& description) {
    return description.isEmpty() ? name : name + QStringLiteral(" — ") + description;
}

QList<PortEntry> AvailablePorts() {
    // One listing for every program: client/ knows the system's ports (sysfs
    // on Linux, SetupAPI on Windows) and the simulator's announced links.
    QList<PortEntry> ports;
    for (const qrv::client::PortInfo& port : qrv::client::ListPorts()) {
        const QString path = QString::fromStdString(port.path);
        if (port.simulated) {
            // The simulator's links are long paths; the list names them by link.
            const QString description = QCoreApplication::translate("PortList", "qrvsim 模拟网络");
            ports.append({path, PortLabel(QFileInfo(path).fileName(), description), path});
            continue;
        }
        // A system port opens by its short name (ttyUSB0, COM5).
        const QString name = QFileInfo(path).fileName();
        QString details = path;
        if (!port.manufacturer.empty()) details += QStringLiteral("\n") + QString::fromStdString(port.manufacturer);
        if (!port.driver.empty()) details += QStringLiteral("\n") + QString::fromStdString(port.driver);
        ports.append({name, PortLabel(name, QString::fromStdString(port.description)), details});
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
