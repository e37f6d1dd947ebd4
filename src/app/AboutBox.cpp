#include "app/AboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "ui/DialogUnits.h"

namespace {
constexpr DluRect kIconRect{11, 17, 20, 20};
constexpr DluRect kNameRect{41, 13, 89, 8};
constexpr DluRect kVersionRect{134, 14, 35, 8};
constexpr DluRect kOkRect{178, 7, 50, 14};
constexpr int kWidthDlu = 235;
constexpr int kHeightDlu = 55;
constexpr int kIconExtent = 32;

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setFont(FormFont());
    setWindowTitle(QStringLiteral("About Tallisk"));
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(DluToPixelsX(kWidthDlu, base), DluToPixelsY(kHeightDlu, base));

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(kIconExtent, kIconExtent));
    icon->setGeometry(DluToPixels(kIconRect, base));
    PlainLabel(QStringLiteral("Tallisk"), this)->setGeometry(DluToPixels(kNameRect, base));
    PlainLabel(QStringLiteral("V1.1.0"), this)->setGeometry(DluToPixels(kVersionRect, base));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setDefault(true);
    ok->setGeometry(DluToPixels(kOkRect, base));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
