#pragma once

#include <QFont>
#include <QRect>

#include "form/ControlTable.h"

// Dialog base units of a font: the rounded average letter width and the
// line height, in pixels. Rectangles of the form are in quarters of the
// first and eighths of the second.
struct DialogBaseUnits {
    int x;
    int y;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);
int DluToPixelsX(int dlu, DialogBaseUnits base);
int DluToPixelsY(int dlu, DialogBaseUnits base);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits base);

// The form's font: "宋体" 9 pt, or a Song face of its metrics in its place.
QFont FormFont();
