#pragma once
// What every tab page shares: its controls scroll when the window gives the
// page less room than they need (a small screen, a large font or scaling),
// so nothing is ever cut off; and Enter and Esc do nothing on a page (they
// must not reach the main window, where Esc would close the program).
#include <QWidget>

class CPageBase : public QWidget {
public:
    explicit CPageBase(QWidget* parent = nullptr);

    // All of the controls: the size the page asks for when there is room.
    QSize sizeHint() const override;

protected:
    // The widget the page builds its controls on (its .ui form's top level).
    QWidget* Body() const { return body_; }

    void keyPressEvent(QKeyEvent* event) override;
    // First shown: the page's list and number boxes leave the wheel to the
    // page unless focused (widgets/wheel_guard.h).
    bool event(QEvent* event) override;

private:
    QWidget* body_;
    class QScrollArea* scroll_;
};
