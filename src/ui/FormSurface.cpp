#include "ui/FormSurface.h"

#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

FormFit FitForm(QSize form, QSize available, int scrollBarExtent) {
    const QSize room = (available - kFrameAllowance).expandedTo(QSize(0, 0));
    bool across = form.width() > room.width();  // a horizontal scroll bar
    bool down = form.height() > room.height();  // a vertical one
    if (!across && !down) {
        return {false, form};
    }
    // Each scroll bar narrows the room the other way, which may call for
    // the other bar too.
    for (int pass = 0; pass < 2; ++pass) {
        across = form.width() + (down ? scrollBarExtent : 0) > room.width();
        down = form.height() + (across ? scrollBarExtent : 0) > room.height();
    }
    const QSize wanted(form.width() + (down ? scrollBarExtent : 0),
                       form.height() + (across ? scrollBarExtent : 0));
    return {true, wanted.boundedTo(room)};
}

QWidget* FormSurfaceOf(QWidget* window, const FormFit& fit, QSize form) {
    if (!fit.scrolls) {
        return window;
    }
    auto* scroll = new QScrollArea(window);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    auto* page = new QWidget;
    // Set, not inherited: the form's style sheet on the page would put the
    // application's font in the place of an inherited one.
    page->setFont(window->font());
    page->setFixedSize(form);
    scroll->setWidget(page);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return page;
}

QPoint FirstPlace(QSize window, const QRect& available) {
    const int side = kFrameAllowance.width() / 2;
    const QSize room = available.size() - kFrameAllowance;
    return {available.left() + side + std::max(0, (room.width() - window.width()) / 2),
            available.top() + kFrameAllowance.height() - side +
                std::max(0, (room.height() - window.height()) / 2)};
}

QPoint PlacedInside(const QRect& frame, const QRect& available) {
    const int x =
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y =
        std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return {x, y};
}

void KeepInsideOnceFramed(QWidget& window) {
    // The window manager's placement, the frame's extents and the window's
    // own position arrive one after the other and in no fixed order: each
    // tick looks again, for three seconds.
    constexpr int kTickMs = 50;
    constexpr int kTicks = 60;
    auto* timer = new QTimer(&window);
    timer->setInterval(kTickMs);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, timer, ticks = 0]() mutable {
        const bool last = ++ticks == kTicks;
        if (last) {
            timer->deleteLater();
        }
        const QRect frame = window.frameGeometry();
        if (frame == window.geometry() && !last) {
            return;  // not framed yet
        }
        const QRect available = window.screen()->availableGeometry();
        if (!available.contains(frame)) {
            window.move(window.pos() + PlacedInside(frame, available) - frame.topLeft());
        }
    });
    timer->start();
}
