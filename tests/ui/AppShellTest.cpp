#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "WindowFixture.h"
#include "form/ControlIds.h"
#include "ui/IconPosition.h"

namespace {

using AppShell = WindowFixture;

TEST_F(AppShell, AboutOpensForCommandIdsSixteenToThirtyOne) {
    QSignalSpy about(window.get(), &MainWindow::aboutRequested);
    // The About box is modal: close it as soon as it is up, and note its caption.
    QString caption;
    const struct {
        int id;
        bool opens;
    } cases[] = {{15, false}, {16, true}, {17, true}, {31, true}, {32, false}, {0xF120, false}};
    for (const auto& c : cases) {
        caption.clear();
        QTimer::singleShot(0, [&caption] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                caption = modal->windowTitle();
                SaveScreenshot(*modal, QStringLiteral("about-box.png"));
                modal->close();
            }
        });
        const int before = static_cast<int>(about.count());
        window->OnSysCommand(c.id);
        EXPECT_EQ(about.count() - before, c.opens ? 1 : 0) << c.id;
        QCoreApplication::processEvents();
        EXPECT_EQ(caption, c.opens ? QStringLiteral("About Tallisk") : QString()) << c.id;
    }
}

TEST_F(AppShell, WindowMenuEndsWithTheAboutEntry) {
    const QList<QAction*> actions = window->WindowMenu()->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_TRUE(actions.at(actions.size() - 2)->isSeparator());
    EXPECT_EQ(actions.last()->text(), QStringLiteral("About Tallisk(&A)..."));
    EXPECT_EQ(actions.last()->data().toInt(), MainWindow::kAboutCommand);
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(AppShell, ExitAndTheCloseBoxEndTheModalRun) {
    window->hide();
    QTimer::singleShot(0, [this] { QTest::mouseClick(form().Widget(ctl::Exit), Qt::LeftButton); });
    EXPECT_EQ(window->exec(), QDialog::Rejected);
    QTimer::singleShot(0, [this] { window->close(); });
    EXPECT_EQ(window->exec(), QDialog::Rejected);
}

TEST(MinimizedIcon, IsCentredRoundingUp) {
    EXPECT_EQ(MinimizedIconPosition(32, 32, 32, 32), QPoint(0, 0));
    EXPECT_EQ(MinimizedIconPosition(33, 33, 32, 32), QPoint(1, 1));
    EXPECT_EQ(MinimizedIconPosition(100, 40, 32, 32), QPoint(34, 4));
}

}  // namespace
