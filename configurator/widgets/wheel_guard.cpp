#include "widgets/wheel_guard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

WheelGuard::WheelGuard(QWidget& root, QWidget* scrollTarget) : QObject(&root), scrollTarget_(scrollTarget) {}

void WheelGuard::Install(QWidget& root, QWidget* scrollTarget) {
    auto* guard = new WheelGuard(root, scrollTarget);
    QList<QWidget*> boxes;
    for (QComboBox* box : root.findChildren<QComboBox*>()) boxes << box;
    for (QAbstractSpinBox* box : root.findChildren<QAbstractSpinBox*>()) boxes << box;
    for (QWidget* box : boxes) {
        // Focus by click or Tab only: the default (wheel focus) would let the
        // first notch focus the box and the second change it.
        if (box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
        box->installEventFilter(guard);
    }
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    const auto* box = qobject_cast<QWidget*>(watched);
    if (box == nullptr || box->hasFocus()) return false;
    if (scrollTarget_ != nullptr) QCoreApplication::sendEvent(scrollTarget_, event);
    return true;
}
