#pragma once
// Driving the real windows the way a user does, from inside their own event
// loops: every button press is synchronous, a modal dialog it opens is
// handled from within that dialog's loop, and waits poll a condition the
// windows make true, never a guessed time.
#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace qrvtune::tour {

// A control the tour relies on is missing: the windows changed under it.
class MissingControl : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lets the windows run until `done` holds; false when `timeoutMs` passed first.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Lets already queued work (layouts, repaints, queued signals) happen.
void Settle();

// Runs `action` (a click, say); when it opens the modal dialog whose object
// name is `dialogName`, `whileOpen` runs inside that dialog's loop and must
// end it. Returns whether the dialog opened.
bool OpenDialog(const std::function<void()>& action, const QString& dialogName,
                const std::function<void(QDialog&)>& whileOpen);

// The child of `root` with this object name; throws MissingControl.
template <typename T>
T& Find(const QWidget& root, const char* name) {
    T* child = root.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr)
        throw MissingControl(root.objectName().toStdString() + " has no " + name);
    return *child;
}

}  // namespace qrvtune::tour
