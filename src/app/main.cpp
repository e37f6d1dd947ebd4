#include <QApplication>

#include "app/UtilityApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UtilityApp::PrepareApplication(app);
    UtilityApp utility;
    return utility.Run();
}
