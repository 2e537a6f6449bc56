#include "views/page_base.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include "widgets/wheel_guard.h"

CPageBase::CPageBase(QWidget* parent) : QWidget(parent), body_(new QWidget) {
    auto* scroll = new QScrollArea(this);
    scroll_ = scroll;
    scroll->setObjectName(QStringLiteral("pageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    // The body grows with the page and never shrinks below what it needs.
    scroll->setWidgetResizable(true);
    scroll->setWidget(body_);
    // The page's own background shows through, as without the scroll area.
    scroll->viewport()->setAutoFillBackground(false);
    body_->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

QSize CPageBase::sizeHint() const { return body_->sizeHint().expandedTo(body_->minimumSizeHint()); }

void CPageBase::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: event->accept(); return;
        default: QWidget::keyPressEvent(event);
    }
}

bool CPageBase::event(QEvent* event) {
    // The pages build their boxes after this constructor; all exist by the
    // time the page is first polished.
    if (event->type() == QEvent::Polish) WheelGuard::Install(*body_, scroll_->viewport());
    return QWidget::event(event);
}
