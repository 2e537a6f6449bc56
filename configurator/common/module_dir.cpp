#include "common/module_dir.h"

#include <filesystem>
#include <system_error>

namespace {
QString& Override() {
    static QString directory;
    return directory;
}
}  // namespace

QString ModuleDirOf(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    return executablePath.left(slash);
}

QString GetModuleDir() {
    if (!Override().isEmpty()) return Override();
    // /proc/self/exe works before (and without) a QCoreApplication.
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return QString();
    return ModuleDirOf(QString::fromStdString(exe.string()));
}

void qrvtune::detail::OverrideModuleDir(const QString& directory) { Override() = directory; }
