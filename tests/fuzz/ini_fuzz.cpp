// The configurator's settings files from arbitrary bytes: a file read
// faithfully encodes back to its very bytes, reads stay within the profile
// limits, and a write either leaves the file byte for byte as it was or
// reads back the value written.
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/ini_encoding.h"
#include "common/ini_file.h"

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

// In memory when the system offers it: every write is synced to disk.
const QString& ScratchPath() {
    static const QString path = QStringLiteral("%1/qrv-ini-fuzz-%2.ini")
                                    .arg(QFileInfo(QStringLiteral("/dev/shm")).isDir() ? "/dev/shm" : "/tmp")
                                    .arg(getpid());
    return path;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The scratch file goes with the process.
struct RemoveScratch {
    ~RemoveScratch() { QFile::remove(ScratchPath()); }
} removeScratch;

void Store(const QByteArray& bytes) {
    QFile file(ScratchPath());
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Require(file.write(bytes) == bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniText text = DecodeIniBytes(bytes);
    if (text.faithful) {
        const auto encoded = EncodeIniText(text);
        Require(encoded && *encoded == bytes);
    }

    Store(bytes);
    const QString section = QStringLiteral("Search");
    const QString key = QStringLiteral("Channel");
    Require(ReadIniString(ScratchPath(), section, key).size() <= kIniValueMaxChars);
    (void)ReadIniInt(ScratchPath(), QStringLiteral("APP"), QStringLiteral("COM"), -1);

    const QString value = QStringLiteral("26 \u4fe1\u9053");
    if (WriteIniString(ScratchPath(), section, key, value)) {
        Require(ReadIniString(ScratchPath(), section, key) == value);
        Require(IniHasKey(ScratchPath(), section, key));
    } else {
        Require(FileBytes(ScratchPath()) == bytes);
    }
    return 0;
}
