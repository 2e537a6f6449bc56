#include "toolkit/toolkit.h"

#include <QCoreApplication>

#include <atomic>

#include "toolkit/qt_toolkit.h"

namespace qrvtune {
namespace {
std::atomic<Toolkit*> installed{nullptr};

Toolkit& QtDefault() {
    static QtToolkit toolkit;
    return toolkit;
}
}  // namespace

Toolkit& CurrentToolkit() {
    Toolkit* toolkit = installed.load(std::memory_order_acquire);
    return toolkit != nullptr ? *toolkit : QtDefault();
}

void InstallToolkit(Toolkit* toolkit) { installed.store(toolkit, std::memory_order_release); }

void ShowMessage(const QString& text, MessageIcon icon, const QString& informative) {
    CurrentToolkit().ShowMessage(text, icon, informative);
}

bool Toolkit::Ask(const QString& /*text*/, const QString& /*informative*/) { return false; }

bool Ask(const QString& text, const QString& informative) { return CurrentToolkit().Ask(text, informative); }

void ShowNotANumber() {
    ShowMessage(QCoreApplication::translate("Toolkit", "请输入一个整数。"), MessageIcon::Warning);
}

}  // namespace qrvtune
