#include "common/module_dir.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// The build sets this from the install layout (cmake/QrvInstall.cmake).
#ifndef QRVTUNE_FILES_FROM_BINDIR
#define QRVTUNE_FILES_FROM_BINDIR "../share/qrvtune"
#endif

namespace {
ShippedFiles& Override() {
    static ShippedFiles files;
    return files;
}

QString ExecutablePath() {
#ifdef Q_OS_WIN
    // The wide name: a folder with Chinese characters survives.
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path)) return QString();
    return QDir::fromNativeSeparators(QString::fromWCharArray(path, static_cast<qsizetype>(length)));
#else
    // /proc/self/exe works before (and without) a QCoreApplication, and leads
    // past any link the program was started through.
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QString() : QString::fromStdString(exe.string());
#endif
}

ShippedFiles CurrentShippedFiles() {
    if (!Override().dir.isEmpty()) return Override();
    const QString exe = ExecutablePath();
    return exe.isEmpty() ? ShippedFiles{} : ShippedFilesFor(exe);
}
}  // namespace

QString ModuleDirOf(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    return executablePath.left(slash);
}

QString InstalledFilesFromProgramDir() { return QStringLiteral(QRVTUNE_FILES_FROM_BINDIR); }

ShippedFiles ShippedFilesFor(const QString& executablePath) {
    const QString programDir = ModuleDirOf(executablePath);
#ifdef Q_OS_WIN
    // Meshcfg.ini and desc.ini ship beside Qrvtune.exe, in a folder (Program
    // Files) a user may not write: it is read only, changes go to %APPDATA%.
    return {programDir, true};
#else
    const QString installed = QDir::cleanPath(programDir + QLatin1Char('/') + InstalledFilesFromProgramDir());
    if (QFileInfo(installed).isDir()) return {installed, true};
    return {programDir, false};
#endif
}

QString GetModuleDir() { return CurrentShippedFiles().dir; }

bool ShippedFilesInstalled() { return CurrentShippedFiles().installed; }

ShippedFilesStandIn::ShippedFilesStandIn(ShippedFiles files) : previous_(std::exchange(Override(), std::move(files))) {}

ShippedFilesStandIn::~ShippedFilesStandIn() { Override() = previous_; }
