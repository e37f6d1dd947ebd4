#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Room a window manager takes around a window: its title bar and borders.
// Known only once the window is shown, so a generous guess decides.
inline constexpr QSize kFrameAllowance{16, 48};

// How the form stands on a screen: at its own size on the window itself
// when it fits the screen's available area with room for the frame, else in
// a scroll area, the window no larger than that room.
struct FormFit {
    bool scrolls = false;
    QSize window;  // the window's size: the form's, or what the room allows
};

// The fit for a form on a screen; a scroll bar takes scrollBarExtent from
// the room left to the form across it.
FormFit FitForm(QSize form, QSize available, int scrollBarExtent);

// The widget the form is built on: the window itself, or a page of the
// form's size in a scroll area that fills the window.
QWidget* FormSurfaceOf(QWidget* window, const FormFit& fit, QSize form);

// Where a window of this size is first put, before any frame is known: in
// the middle of the room the frame allowance leaves, its top below the
// title bar's share. (Centred by the toolkit's own guess, a window's title
// bar may start above the screen.)
QPoint FirstPlace(QSize window, const QRect& available);

// Where a window whose frame is frame goes so that as much of it as can be
// lies inside available, its title bar first.
QPoint PlacedInside(const QRect& frame, const QRect& available);

// Once the window manager has framed a window just shown (its frame is known
// only then), moves it inside the screen's available area where it was
// placed partly outside, title bar first; for three seconds after the
// show, so that a late placement is caught too. A window never framed is checked as
// it stands at the end.
void KeepInsideOnceFramed(QWidget& window);
