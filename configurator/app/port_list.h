#pragma once
// The serial ports offered in the port field.
#include <QString>
#include <QStringList>

// Where the module simulator announces its ports: $XDG_RUNTIME_DIR/qrvsim,
// or /tmp/qrvsim-<uid> without a runtime directory.
QString SimulatorPortDir();

// The system's serial ports by name (ttyUSB0) and the simulator's ports by
// absolute path, sorted by text.
QStringList AvailablePortNames();

// Sorts like the port field's list: by text, letter case ignored, so COM10
// comes before COM2.
void SortPortNames(QStringList& names);
