// Nothing on a form changes by accident: the wheel over a list or number box
// the user has not clicked into scrolls the page and leaves the value.
#include <QApplication>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "gui_fixture.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"

namespace {

void WheelDown(QWidget& target) {
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QWheelEvent wheel(at, target.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &wheel);
}

}  // namespace

using FormSafety = GuiTest;

TEST_F(FormSafety, WheelOverAnUnfocusedBoxScrollsThePageAndAFocusedBoxTakesIt) {
    QWidget* pages[] = {&ViewBaseInfo(), &ViewDevAdvCfg()};
    for (QWidget* page : pages) {
        SCOPED_TRACE(page->metaObject()->className());
        page->resize(420, 160);  // far smaller than the form: the page scrolls
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page));
        auto* scroll = page->findChild<QScrollArea*>(QStringLiteral("pageScroll"));
        const QList<QComboBox*> boxes = page->findChildren<QComboBox*>();
        ASSERT_NE(scroll, nullptr);
        if (boxes.isEmpty()) continue;
        QComboBox& box = *boxes.front();
        box.setCurrentIndex(box.count() > 1 ? 1 : 0);
        const int index = box.currentIndex();
        const int scrolled = scroll->verticalScrollBar()->value();

        WheelDown(box);
        EXPECT_EQ(box.currentIndex(), index);
        EXPECT_GT(scroll->verticalScrollBar()->value(), scrolled);
        EXPECT_FALSE(box.hasFocus());  // the wheel never focuses a box

        box.setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return box.hasFocus(); }));
        WheelDown(box);
        EXPECT_NE(box.currentIndex(), index);
        page->hide();
    }
}
