#pragma once
// The serial ports offered in the port field.
#include <QList>
#include <QString>
#include <QStringList>

// Where the module simulator announces its ports: $XDG_RUNTIME_DIR/qrvsim,
// or /tmp/qrvsim-<uid> without a runtime directory (none on Windows).
QString SimulatorPortDir();

struct PortEntry {
    QString name;     // what the panel opens: ttyUSB0, or a simulator link's absolute path
    QString label;    // what the list shows: "ttyUSB0 — CH340", "qrvsim0 — qrvsim 模拟网络"
    QString details;  // the device's full path and what the system knows of it
};

// The system's serial ports and the simulator's announced links, sorted by
// name. A port is labelled with its adapter's description when the system
// knows one.
QList<PortEntry> AvailablePorts();

// "name — description", or the name alone without a description.
QString PortLabel(const QString& name, const QString& description);

// Sorts like the port field's list: by text, letter case ignored, so COM10
// comes before COM2.
void SortPortNames(QStringList& names);
