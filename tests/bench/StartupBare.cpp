// The baseline: a Qt dialog of a given size, run modally, with the
// first-paint probe watching. It draws a few lines in the form's font,
// Latin and CJK as the form's labels are, so that the font file and the
// text shaping come into both start-ups and the window is compared with
// like. Usage: bench_startup_bare [width height]
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <cstdlib>

#include "FirstPaintProbe.h"
#include "ui/DialogUnits.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintProbe probe;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    dialog.setFont(FormFont());
    auto* text = new QLabel(&dialog);
    text->setText(QString::fromUtf8("Lomard机型\nConnect Mode\nStatus: Tallisk Is Connected!"));
    text->move(8, 8);
    if (argc >= 3) {
        dialog.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    return dialog.exec();
}
