#include "widgets/gdiplus_wnd.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

CGDIPlusWnd::CGDIPlusWnd(QWidget* parent) : QWidget(parent) {}

void CGDIPlusWnd::paintEvent(QPaintEvent* /*event*/) {
    if (imagePath_.isEmpty()) return;
    QPainter painter(this);
    painter.fillRect(rect(), Background());

    QFile file(imagePath_);
    if (!file.open(QIODevice::ReadOnly)) return;
    // The file's name says nothing about its format ("dadar.gxd"); the bytes do.
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return;
    // One image pixel per device pixel: unscaled, whatever the screen's scale.
    image.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPoint(0, 0), image);
}
