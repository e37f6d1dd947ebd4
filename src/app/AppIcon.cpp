#include "app/AppIcon.h"

#include <QPixmap>

// The images are compiled into this static library; its resources have to
// be registered by hand before first use.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(resources);
}

QIcon AppIcon() {
    RegisterIconResources();
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/icons/tallisk32.xpm")));
    icon.addPixmap(QPixmap(QStringLiteral(":/icons/tallisk16.xpm")));
    return icon;
}
