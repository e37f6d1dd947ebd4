#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QString>

#include "app/UtilityApp.h"

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The desktop file name a program gives Qt is the name its desktop entry and
// AppStream component are installed under; renaming one side alone would
// leave the window without its entry's icon.
TEST(DesktopId, EachProgramsIdNamesItsEntryAndComponent) {
    const QString packaging = QStringLiteral(TALLISK_PACKAGING_DIR);
    const struct {
        const char* id;
        const char* program;
    } cases[] = {{kUtilityDesktopId, "tallisk"}, {kDemoDesktopId, "tallisk-demo"}};
    for (const auto& c : cases) {
        const QString id = QString::fromLatin1(c.id);
        const QString entry = Read(packaging + QStringLiteral("/%1.desktop").arg(id));
        EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=%1\n").arg(QLatin1String(c.program))))
            << c.id;
        const QString metainfo = Read(packaging + QStringLiteral("/%1.metainfo.xml").arg(id));
        EXPECT_TRUE(metainfo.contains(QStringLiteral("<id>%1</id>").arg(id))) << c.id;
        EXPECT_TRUE(metainfo.contains(
            QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(id)))
            << c.id;
    }
    // The tests prepare the application as the utility does.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QString::fromLatin1(kUtilityDesktopId));
}

}  // namespace
