#pragma once
// The banner pane at the top right of the main window: an image file beside
// the program, drawn unscaled at the top left over a light background.
#include <QColor>
#include <QString>
#include <QWidget>

class CGDIPlusWnd : public QWidget {
public:
    explicit CGDIPlusWnd(QWidget* parent = nullptr);

    // The file is read again on every paint; an empty path draws nothing.
    void SetImagePath(const QString& path) { imagePath_ = path; }
    const QString& ImagePath() const { return imagePath_; }

    static QColor Background() { return QColor(235, 233, 237); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString imagePath_;
};
