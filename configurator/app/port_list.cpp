#include "app/port_list.h"

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

QStringList AvailablePortNames() {
    QStringList names;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) names << port.portName();
    const QDir simulator(SimulatorPortDir());
    const auto entries = simulator.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries)
        if (LooksLikePort(entry)) names << entry.absoluteFilePath();
    names.removeDuplicates();
    SortPortNames(names);
    return names;
}

void SortPortNames(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
}
