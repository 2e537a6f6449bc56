#include <QBuffer>
#include <QImage>

#include "gui_fixture.h"
#include "widgets/gdiplus_wnd.h"

namespace {

class ImagePane : public GuiTest {
protected:
    QImage Render() {
        CGDIPlusWnd pane;
        pane.SetImagePath(ModuleDir() + QStringLiteral("/dadar.gxd"));
        pane.resize(40, 20);
        return pane.grab().toImage();
    }
};

}  // namespace

TEST_F(ImagePane, WithoutTheImageFileShowsOnlyTheBackground) {
    const QImage shown = Render();
    EXPECT_EQ(shown.pixelColor(0, 0), CGDIPlusWnd::Background());
    EXPECT_EQ(shown.pixelColor(39, 19), QColor(235, 233, 237));
}

TEST_F(ImagePane, DrawsTheImageUnscaledAtTheTopLeftWhateverTheFileName) {
    QImage image(10, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    WriteModuleFile(QStringLiteral("dadar.gxd"), png);

    const QImage shown = Render();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(9, 4), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(10, 4), CGDIPlusWnd::Background());
    EXPECT_EQ(shown.pixelColor(9, 5), CGDIPlusWnd::Background());
}

TEST_F(ImagePane, AFileThatIsNoImageLeavesTheBackground) {
    WriteModuleFile(QStringLiteral("dadar.gxd"), QByteArray("not an image at all"));
    EXPECT_EQ(Render().pixelColor(5, 5), CGDIPlusWnd::Background());
}
