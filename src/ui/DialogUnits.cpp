#include "ui/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int w52 = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(w52 / 26 + 1) / 2, metrics.height()};
}

// Rounded as the dialog manager's MulDiv does, for non-negative values.
int DluToPixelsX(int dlu, DialogBaseUnits base) {
    return (dlu * base.x + 2) / 4;
}

int DluToPixelsY(int dlu, DialogBaseUnits base) {
    return (dlu * base.y + 4) / 8;
}

QRect DluToPixels(const DluRect& rect, DialogBaseUnits base) {
    return {DluToPixelsX(rect.x, base), DluToPixelsY(rect.y, base), DluToPixelsX(rect.width, base),
            DluToPixelsY(rect.height, base)};
}

QFont FormFont() {
    static const char* const kFaces[] = {"宋体", "SimSun", "WenQuanYi Micro Hei"};
    const QStringList families = QFontDatabase::families();
    for (const char* face : kFaces) {
        if (families.contains(QString::fromUtf8(face), Qt::CaseInsensitive)) {
            return QFont(QString::fromUtf8(face), 9);
        }
    }
    QFont fallback;
    fallback.setPointSize(9);
    return fallback;
}
