// The window on a screen too small for the form (the test's screen is
// 1024 x 600): every control, the status line included, is reached by
// scrolling, and the window stays inside the screen.
#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "WindowFixture.h"
#include "form/ControlTable.h"
#include "ui/DialogUnits.h"

namespace {

using SmallScreen = WindowFixture;

QScrollArea* ScrollAreaOf(QWidget& window) {
    return window.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
}

TEST_F(SmallScreen, TheFormScrollsInAWindowTheScreenHolds) {
    const QRect available = window->screen()->availableGeometry();
    ASSERT_LT(available.height(), 668 + kFrameAllowance.height()) << "the test's screen";
    QScrollArea* scroll = ScrollAreaOf(*window);
    ASSERT_NE(scroll, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    EXPECT_LE(window->height(), available.height() - kFrameAllowance.height());
    EXPECT_EQ(scroll->widget()->size(), QSize(618, 668)) << "the form keeps its own size";
    EXPECT_EQ(scroll->widget()->font(), FormFont()) << "and its own font";
    EXPECT_EQ(form().Widget(ctl::StatusLine)->font(), FormFont());
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "the screen is wide enough";

    // Every control lies on the page, where the table puts it.
    for (const ControlSpec& control : MainFormControls()) {
        if (control.id != kNoId) {
            EXPECT_EQ(form().Widget(control.id)->parentWidget(), scroll->widget()) << control.id;
        }
    }

    // The wheel over the form scrolls it down to the status line.
    QScrollBar* bar = scroll->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QWidget* statusLine = form().Widget(ctl::StatusLine);
    const QPoint over = scroll->viewport()->rect().center();
    for (int turn = 0; turn < 20 && bar->value() < bar->maximum(); ++turn) {
        QWheelEvent wheel(over, scroll->viewport()->mapToGlobal(over), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(scroll->viewport(), &wheel);
    }
    EXPECT_EQ(bar->value(), bar->maximum());
    const QRect shown(statusLine->mapTo(scroll->viewport(), QPoint(0, 0)), statusLine->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(shown)) << "the status line is in view";
    SaveScreenshot(*window, QStringLiteral("main-window-small-screen.png"));
}

}  // namespace
