// screen-grab FILE.png [DELAY_MS]: waits, then saves the primary screen.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: screen-grab FILE.png [DELAY_MS]\n");
        return 2;
    }
    const int delayMs = args.size() > 2 ? args.at(2).toInt() : 0;
    int status = 1;
    QTimer::singleShot(delayMs, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr && screen->grabWindow(0).save(args.at(1))) {
            status = 0;
        }
        QCoreApplication::quit();
    });
    app.exec();
    return status;
}
