#pragma once
// A list or number box under the mouse takes the wheel only once the user
// has clicked into it or tabbed to it. Otherwise one notch while scrolling
// a long page would change a baud rate or a channel unseen, and the next
// "修改配置" would write it. An unfocused box passes the wheel on to the
// page's scroll area instead (or drops it when there is none).
#include <QObject>
#include <QPointer>

class QWidget;

class WheelGuard : public QObject {
public:
    // Guards every combo and spin box below `root` (present now). The wheel
    // over an unfocused one goes to `scrollTarget` (a scroll area's viewport)
    // when given. The guard is a child of `root`.
    static void Install(QWidget& root, QWidget* scrollTarget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WheelGuard(QWidget& root, QWidget* scrollTarget);
    QPointer<QWidget> scrollTarget_;
};
