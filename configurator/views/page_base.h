#pragma once
// What every tab page shares: Enter and Esc do nothing on a page (they must
// not reach the main window, where Esc would close the program).
#include <QWidget>

class CPageBase : public QWidget {
public:
    explicit CPageBase(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
