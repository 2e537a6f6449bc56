#include "widgets/refusal_cue.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QToolTip>

namespace {
constexpr const char* kRefusedProperty = "qrvRefused";
}

void MarkRefused(QLineEdit* box, const QString& message) {
    box->setProperty(kRefusedProperty, true);
    box->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d01010; }"));
    box->setToolTip(message);
    box->setStatusTip(message);
    if (box->isVisible()) QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box);
}

void ClearRefused(QLineEdit* box) {
    if (!IsMarkedRefused(box)) return;
    box->setProperty(kRefusedProperty, false);
    box->setStyleSheet(QString());
    box->setToolTip(QString());
    box->setStatusTip(QString());
}

bool IsMarkedRefused(const QWidget* box) { return box->property(kRefusedProperty).toBool(); }

void RevealAndFocus(QWidget* box) {
    for (QWidget* page = box; page != nullptr; page = page->parentWidget())
        for (QWidget* above = page->parentWidget(); above != nullptr; above = above->parentWidget())
            if (auto* tabs = qobject_cast<QTabWidget*>(above); tabs && tabs->indexOf(page) >= 0)
                tabs->setCurrentWidget(page);
    box->setFocus(Qt::OtherFocusReason);
}
