// How the form stands on screens of every size: at its own size where it
// fits with room for the frame, else scrolled in a window the room holds.
#include <gtest/gtest.h>

#include "ui/FormSurface.h"

namespace {

constexpr QSize kForm{618, 668};
constexpr int kBar = 15;

TEST(FormFit, TheFormScrollsOnlyWhereTheScreenHasNoRoomForIt) {
    const struct {
        QSize available;
        bool scrolls;
        QSize window;
    } cases[] = {
        {{1280, 1024}, false, kForm},    {{1366, 768}, false, kForm},  // a laptop, no panel
        {{1366, 716}, false, kForm},                                   // just room for the frame
        {{1366, 740}, false, kForm},                                   // a panel of 28
        {{1280, 692}, true, {633, 644}},  // 1920 x 1080 at 150 %, a panel
        {{1280, 715}, true, {633, 667}},  // one pixel short
        {{620, 900}, true, {604, 683}},   // too narrow: a bar across
        {{600, 600}, true, {584, 552}},   // both bars
        {{10, 10}, true, {0, 0}},         // no room at all
    };
    for (const auto& c : cases) {
        const FormFit fit = FitForm(kForm, c.available, kBar);
        EXPECT_EQ(fit.scrolls, c.scrolls) << c.available.width() << "x" << c.available.height();
        EXPECT_EQ(fit.window, c.window) << c.available.width() << "x" << c.available.height();
    }
}

TEST(FormFit, AWindowIsFirstPutInTheMiddleOfTheRoomBelowItsTitleBar) {
    const struct {
        QSize window;
        QRect available;
        QPoint place;
    } cases[] = {
        {kForm, {0, 0, 1366, 768}, {374, 66}},
        {{633, 644}, {0, 27, 1366, 741}, {366, 91}},  // below a panel
        {{900, 900}, {0, 0, 800, 600}, {8, 40}},      // larger than the room
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FirstPlace(c.window, c.available), c.place) << c.window.width();
    }
}

TEST(FormFit, AWindowPartlyOffTheScreenIsMovedInsideTitleBarFirst) {
    const QRect screen(0, 0, 1366, 768);
    const struct {
        QRect frame;
        QPoint placed;
    } cases[] = {
        {{100, 50, 634, 700}, {100, 50}},   // inside: stays
        {{900, 50, 634, 700}, {732, 50}},   // off the right edge
        {{100, 300, 634, 700}, {100, 68}},  // off the bottom
        {{-40, -30, 634, 700}, {0, 0}},     // off the top left
        {{100, 50, 634, 900}, {100, 0}},    // taller than the screen: the top shows
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlacedInside(c.frame, screen), c.placed) << c.frame.x() << "," << c.frame.y();
    }
}

}  // namespace
