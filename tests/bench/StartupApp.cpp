// The utility's own start-up, exactly as its main() does it, with the
// first-paint probe watching.
#include <QApplication>

#include "FirstPaintProbe.h"
#include "app/UtilityApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintProbe probe;
    UtilityApp::PrepareApplication(app);
    UtilityApp utility;
    return utility.Run();
}
