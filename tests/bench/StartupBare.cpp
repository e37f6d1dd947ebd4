// The baseline: an empty Qt dialog of a given size, run modally, with the
// first-paint probe watching. Usage: bench_startup_bare [width height]
#include <QApplication>
#include <QDialog>
#include <cstdlib>

#include "FirstPaintProbe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintProbe probe;
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    if (argc >= 3) {
        dialog.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    return dialog.exec();
}
