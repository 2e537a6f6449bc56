#include "toolkit/toolkit.h"

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

void ShowMessage(const QString& text, MessageIcon icon) { CurrentToolkit().ShowMessage(text, icon); }

}  // namespace qrvtune
