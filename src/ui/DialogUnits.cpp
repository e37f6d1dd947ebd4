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
    // The form's own face first; then Song (Ming) faces of the same kind
    // and the same base units, 6 x 12 at 9 pt: SungtiL GB is the package's
    // (a GB Song face, as the form's own is, and a quarter of UMing's size).
    static const char* const kFaces[] = {"宋体", "SimSun", "AR PL SungtiL GB", "AR PL UMing CN"};
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
