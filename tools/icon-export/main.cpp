// icon-export DIR NAME DRAWING.svg... SIZE...: writes DIR/SIZE/NAME.png for
// each size. Each size comes from the image drawn for it: the window icon's
// pixel art (16 and 32), else the drawing whose own size it is (one laid
// out on whole pixels), else the first drawing, scaled. Enlarged pixel art
// would turn blocky or blurred.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/AppIcon.h"

namespace {

QImage Rendered(QSvgRenderer& drawing, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawing.render(&painter, QRectF(0, 0, size, size));
    return image;
}

QSvgRenderer& DrawingFor(const std::vector<std::unique_ptr<QSvgRenderer>>& drawings, int size) {
    for (const auto& drawing : drawings) {
        if (drawing->defaultSize() == QSize(size, size)) {
            return *drawing;
        }
    }
    return *drawings.front();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    std::vector<std::unique_ptr<QSvgRenderer>> drawings;
    QList<int> sizes;
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg.endsWith(QStringLiteral(".svg"))) {
            drawings.push_back(std::make_unique<QSvgRenderer>(arg));
            if (!drawings.back()->isValid()) {
                std::fprintf(stderr, "icon-export: cannot read %s\n", qPrintable(arg));
                return 1;
            }
        } else if (const int size = arg.toInt(); size > 0) {
            sizes.append(size);
        } else {
            std::fprintf(stderr, "icon-export: not a size: %s\n", qPrintable(arg));
            return 2;
        }
    }
    if (drawings.empty() || sizes.isEmpty()) {
        std::fprintf(stderr, "usage: icon-export DIR NAME DRAWING.svg... SIZE...\n");
        return 2;
    }
    const QIcon icon = AppIcon();
    const QList<QSize> pixelArt = icon.availableSizes();
    for (const int size : sizes) {
        const QImage image = pixelArt.contains(QSize(size, size))
                                 ? icon.pixmap(size).toImage()
                                 : Rendered(DrawingFor(drawings, size), size);
        const QString dir = args.at(1) + QStringLiteral("/%1").arg(size);
        QDir().mkpath(dir);
        if (!image.save(dir + QStringLiteral("/") + args.at(2) + QStringLiteral(".png"))) {
            std::fprintf(stderr, "icon-export: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
