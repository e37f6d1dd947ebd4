// icon-export DIR NAME SIZE...: writes DIR/SIZE/NAME.png for each size, from
// the window icon compiled into the program.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>

#include "app/AppIcon.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: icon-export DIR NAME SIZE...\n");
        return 2;
    }
    const QIcon icon = AppIcon();
    for (qsizetype i = 3; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        // Pixel art scales by whole steps from the nearest drawn size.
        const QPixmap drawn = icon.pixmap(size <= 16 ? 16 : 32);
        const QImage image = drawn.toImage().scaled(
            size, size, Qt::KeepAspectRatio,
            size % drawn.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation);
        const QString dir = args.at(1) + QStringLiteral("/%1").arg(size);
        QDir().mkpath(dir);
        if (!image.save(dir + QStringLiteral("/") + args.at(2) + QStringLiteral(".png"))) {
            std::fprintf(stderr, "icon-export: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
