#include "tour/tour_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <exception>

namespace qrvtune::tour {

namespace {
// How often a wait looks at its condition; the windows' own timers tick
// every 200 ms, so this is well below anything they show.
constexpr int kPollMs = 10;

void RunEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return done();
        RunEventsFor(kPollMs);
    }
    return true;
}

void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool OpenDialog(const std::function<void()>& action, const QString& dialogName,
                const std::function<void(QDialog&)>& whileOpen) {
    bool opened = false;
    std::exception_ptr failure;
    QTimer watch;
    watch.setInterval(kPollMs);
    // Only a modal loop runs events while `action` is still running, so the
    // watch fires only once a dialog is up.
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->objectName() != dialogName || !dialog->isVisible()) return;
        watch.stop();
        opened = true;
        Settle();
        // Nothing may unwind through the dialog's event loop: a failure is
        // carried out of it, and a dialog left open is closed as Esc would.
        try {
            whileOpen(*dialog);
        } catch (...) {
            failure = std::current_exception();
        }
        if (dialog->isVisible()) dialog->reject();
    });
    watch.start();
    action();
    watch.stop();
    if (failure) std::rethrow_exception(failure);
    return opened;
}

}  // namespace qrvtune::tour
